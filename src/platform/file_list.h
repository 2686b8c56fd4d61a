// Directory listing for the image list scan.
#pragma once

#include <string>
#include <vector>

namespace sortelia {

// Appends folder + name for every regular, non-hidden file of folder whose name ends with one
// of extensions (compared ignoring ASCII case, ".jpg" finds "A.JPG"), extension by extension,
// each in directory order. folder ends with "/". Hidden means the name begins with "."; symbolic
// links, devices, sockets and pipes are never listed. Returns the number appended; an
// unreadable folder adds nothing.
int listImageFiles(const std::string& folder, const std::vector<std::string>& extensions,
                   std::vector<std::string>& list);

// Appends folder + name + "/" for every non-hidden subdirectory of folder (symbolic links are
// not followed), in directory order, each followed at once by its own subfolders (depth first,
// parent before its children).
void listSubfolders(const std::string& folder, std::vector<std::string>& list);

// 0 when folder can be opened for listing, else the errno of the failure (ENOENT, ENOTDIR,
// EACCES, ...).
int folderReadError(const std::string& folder);

// Every name in folder, of any kind ("." and ".." included), in directory order; none when
// the folder cannot be listed.
std::vector<std::string> listNames(const std::string& folder);

}  // namespace sortelia

// Entry of the Trash tests (<subsystem>_trash_tests). GLib reads XDG_DATA_HOME once per
// process, the first time anything asks for the user's data folder, so the home Trash of these
// tests is pointed at a temporary folder here, before anything touches GLib: a trashed test
// file never lands in the person's own Trash.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_dir.h"

int main(int argc, char** argv) {
  const sortelia::testing::TempDir dataHome;
  ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Japanese labels of the enumerated EXIF tags.
#include <cstdint>
#include <string>

#include "exif/exif_info.h"
#include "exif/exif_tags.h"

namespace sortelia::exif {
namespace {

struct Label {
  std::uint32_t code;
  const char* text;
};

template <std::size_t N>
std::string find(const Label (&table)[N], std::uint32_t code) {
  for (const Label& l : table) {
    if (l.code == code) return l.text;
  }
  return {};
}

const Label kExposureProgram[] = {
    {1, "マニュアル設定"},     {2, "プログラムAE"},   {3, "絞り優先"},
    {4, "シャッター速度優先"}, {5, "低速プログラム"}, {6, "高速プログラム"},
    {7, "ポートレートモード"}, {8, "風景モード"},
};

const Label kMeteringMode[] = {
    {0, "不明"},         {1, "平均測光"},         {2, "中央重点"}, {3, "スポット"},
    {4, "多点スポット"}, {5, "マルチセグメント"}, {6, "部分測光"}, {255, "その他"},
};

const Label kLightSource[] = {
    {0, "不明"},        {1, "昼光"},         {2, "蛍光灯"},       {3, "白熱電球"},
    {10, "フラッシュ"}, {17, "標準ライトA"}, {18, "標準ライトB"}, {19, "標準ライトC"},
    {20, "D55"},        {21, "D65"},         {22, "D75"},         {255, "その他"},
};

const Label kFlash[] = {
    {0, "非発光"},
    {1, "発光(反射検出機構なし)"},
    {5, "発光(反射光未検出)"},
    {7, "発光(反射光検出)"},
};

const Label kSensingMethod[] = {
    {2, "1チップカラーエリアセンサ"}, {3, "2チップカラーエリアセンサ"},
    {4, "3チップカラーエリアセンサ"}, {5, "カラーシークエンシャルエリアセンサ"},
    {7, "トリリニアセンサ"},          {8, "カラーシークエンシャルリニアセンサ"},
};

const Label kColorSpace[] = {{1, "sRGB"}, {65535, "Uncalibrated"}};
const Label kCompression[] = {{1, "非圧縮"}, {6, "JPEG"}};
const Label kPhotometric[] = {{2, "RGB"}, {6, "YCbCr"}};
const Label kResolutionUnit[] = {{2, "inch"}, {3, "cm"}};

}  // namespace

std::string exifLabel(std::uint16_t tag, std::uint32_t code) {
  switch (tag) {
    case tags::ExposureProgram:
      return find(kExposureProgram, code);
    case tags::MeteringMode:
      return find(kMeteringMode, code);
    case tags::LightSource:
      return find(kLightSource, code);
    case tags::Flash:
      return find(kFlash, code);
    case tags::SensingMethod:
      return find(kSensingMethod, code);
    case tags::ColorSpace:
      return find(kColorSpace, code);
    case tags::Compression:
      return find(kCompression, code);
    case tags::PhotometricInterpretation:
      return find(kPhotometric, code);
    case tags::ResolutionUnit:
    case tags::FocalPlaneResolutionUnit:
      return find(kResolutionUnit, code);
    default:
      return {};
  }
}

}  // namespace sortelia::exif

#include "settings/build_settings.h"

namespace vellora {

std::string SortTypeCode(int32_t sort_key, int32_t sort_order) {
  std::string code;
  switch (sort_key) {
    case CBuildSettings::kSortBySize:
      code = "S";
      break;
    case CBuildSettings::kSortByType:
      code = "E";
      break;
    case CBuildSettings::kSortByDate:
      code = "D";
      break;
    default:
      code = "N";
      break;
  }
  switch (sort_order) {
    case CBuildSettings::kSortDescending:
      code += '-';
      break;
    case CBuildSettings::kSortUnsorted:
      code += '=';
      break;
    default:
      code += '+';
      break;
  }
  return code;
}

void ParseSortType(const std::string& code, int32_t* sort_key, int32_t* sort_order) {
  const char key = code.empty() ? '\0' : code[0];
  const char order = code.size() < 2 ? '\0' : code[1];
  *sort_key = key == 'D'   ? CBuildSettings::kSortByDate
              : key == 'E' ? CBuildSettings::kSortByType
              : key == 'S' ? CBuildSettings::kSortBySize
                           : CBuildSettings::kSortByName;
  *sort_order = order == '-'   ? CBuildSettings::kSortDescending
                : order == '=' ? CBuildSettings::kSortUnsorted
                               : CBuildSettings::kSortAscending;
}

const char* TitleModeWord(int32_t multi_recurse_title) {
  switch (multi_recurse_title) {
    case CBuildSettings::kTitleFullPath:
      return "QUALIFIED";
    case CBuildSettings::kTitleDefault:
      return "DEFAULT";
    default:
      return "FOLDER";
  }
}

int32_t ParseTitleMode(const std::string& word) {
  if (word == "QUALIFIED") return CBuildSettings::kTitleFullPath;
  if (word == "DEFAULT") return CBuildSettings::kTitleDefault;
  return CBuildSettings::kTitleFolderName;
}

}  // namespace vellora

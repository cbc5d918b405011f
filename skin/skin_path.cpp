#include "skin/skin_path.h"

std::u16string SkinImagePath(std::u16string_view programFolder, std::u16string_view fileName) {
    std::u16string path(programFolder);
    path += u"skins\\";
    path += fileName;
    return path;
}

std::u16string SkinStateFileName(std::u16string_view baseName, SkinState state) {
    std::u16string name(baseName);
    switch (state) {
    case SkinState::Normal:
        name += u"_nr";
        break;
    case SkinState::Hover:
        name += u"_ov";
        break;
    case SkinState::Pressed:
        name += u"_dn";
        break;
    }
    name += u".png";
    return name;
}

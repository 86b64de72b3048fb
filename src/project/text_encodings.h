#pragma once

#include <string_view>

namespace tidewater {

/// The text encodings a file may be read in, in display order, each written
/// "name~~group" so that the catalogue keeps the group beside the value;
/// "Default" comes first.
inline constexpr std::string_view kTextEncodings[] = {
    "Default~~Common",      "UTF-8~~Common",
    "ISO-8859-1~~ISO",      "ISO-8859-2~~ISO",    "ISO-8859-3~~ISO",    "ISO-8859-4~~ISO",
    "ISO-8859-5~~ISO",      "ISO-8859-6~~ISO",    "ISO-8859-7~~ISO",    "ISO-8859-8~~ISO",
    "ISO-8859-9~~ISO",      "ISO-8859-10~~ISO",   "ISO-8859-13~~ISO",   "ISO-8859-14~~ISO",
    "ISO-8859-15~~ISO",     "ISO-8859-16~~ISO",
    "CP 850~~Code Pages",   "CP 866~~Code Pages", "CP 874~~Code Pages",
    "CP 1250~~Code Pages",  "CP 1251~~Code Pages", "CP 1252~~Code Pages", "CP 1253~~Code Pages",
    "CP 1254~~Code Pages",  "CP 1255~~Code Pages", "CP 1256~~Code Pages", "CP 1257~~Code Pages",
    "CP 1258~~Code Pages",
    "BIG-5~~Eastern",       "BIG5-HKSCS~~Eastern", "EUC-JP~~Eastern",   "EUC-KR~~Eastern",
    "GB2312~~Eastern",      "GBK~~Eastern",       "GB18030~~Eastern",   "ISO-2022-JP~~Eastern",
    "Shift-JIS~~Eastern",   "TSCII~~Eastern",     "KOI8-R~~Eastern",    "KOI8-U~~Eastern",
    "TIS-620~~Eastern",
    "UTF-16~~Others",       "Apple Roman~~Others", "HP-Roman8~~Others",
};

}  // namespace tidewater

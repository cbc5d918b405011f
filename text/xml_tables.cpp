// The encoding names and named character references the language document knows.
#include "text/xml_tables.h"

namespace {

struct NamedValue {
    const char16_t* name;
    uint32_t value;
};

// IANA names and common aliases of the Windows code pages, in lowercase.
const NamedValue kCharsets[] = {
    {u"utf-8", 65001}, {u"utf8", 65001}, {u"unicode-1-1-utf-8", 65001},
    {u"unicode-2-0-utf-8", 65001}, {u"x-unicode20utf8", 65001}, {u"utf-16", 1200},
    {u"unicode", 1200}, {u"utf-16le", 1200}, {u"ucs-2", 1200}, {u"iso-10646-ucs-2", 1200},
    {u"unicodefffe", 1201}, {u"utf-16be", 1201}, {u"utf-7", 65000}, {u"unicode-1-1-utf-7", 65000},
    {u"x-unicode20utf7", 65000}, {u"csunicode11utf7", 65000}, {u"us-ascii", 20127},
    {u"ascii", 20127}, {u"ansi_x3.4-1968", 20127}, {u"ansi_x3.4-1986", 20127}, {u"cp367", 20127},
    {u"csascii", 20127}, {u"ibm367", 20127}, {u"iso-ir-6", 20127}, {u"iso646-us", 20127},
    {u"iso_646.irv:1991", 20127}, {u"us", 20127}, {u"windows-1250", 1250}, {u"x-cp1250", 1250},
    {u"cp1250", 1250}, {u"windows-1251", 1251}, {u"x-cp1251", 1251}, {u"cp1251", 1251},
    {u"windows-1252", 1252}, {u"x-ansi", 1252}, {u"cp1252", 1252}, {u"windows-1253", 1253},
    {u"cp1253", 1253}, {u"windows-1254", 1254}, {u"cp1254", 1254}, {u"windows-1255", 1255},
    {u"cp1255", 1255}, {u"windows-1256", 1256}, {u"cp1256", 1256}, {u"windows-1257", 1257},
    {u"cp1257", 1257}, {u"windows-1258", 1258}, {u"cp1258", 1258}, {u"windows-874", 874},
    {u"tis-620", 874}, {u"dos-874", 874}, {u"iso-8859-11", 874}, {u"koi8-r", 20866},
    {u"koi", 20866}, {u"koi8", 20866}, {u"koi8r", 20866}, {u"cskoi8r", 20866}, {u"koi8-u", 21866},
    {u"koi8-ru", 21866}, {u"iso-8859-1", 28591}, {u"iso8859-1", 28591}, {u"iso_8859-1", 28591},
    {u"iso_8859-1:1987", 28591}, {u"latin1", 28591}, {u"l1", 28591}, {u"cp819", 28591},
    {u"ibm819", 28591}, {u"iso-ir-100", 28591}, {u"csisolatin1", 28591}, {u"iso-8859-2", 28592},
    {u"iso8859-2", 28592}, {u"iso_8859-2", 28592}, {u"iso_8859-2:1987", 28592}, {u"latin2", 28592},
    {u"l2", 28592}, {u"iso-ir-101", 28592}, {u"csisolatin2", 28592}, {u"iso-8859-3", 28593},
    {u"iso_8859-3", 28593}, {u"iso_8859-3:1988", 28593}, {u"latin3", 28593}, {u"l3", 28593},
    {u"iso-ir-109", 28593}, {u"csisolatin3", 28593}, {u"iso-8859-4", 28594}, {u"iso_8859-4", 28594},
    {u"iso_8859-4:1988", 28594}, {u"latin4", 28594}, {u"l4", 28594}, {u"iso-ir-110", 28594},
    {u"csisolatin4", 28594}, {u"iso-8859-5", 28595}, {u"iso_8859-5", 28595},
    {u"iso_8859-5:1988", 28595}, {u"cyrillic", 28595}, {u"iso-ir-144", 28595},
    {u"csisolatincyrillic", 28595}, {u"iso-8859-6", 28596}, {u"iso_8859-6", 28596},
    {u"iso_8859-6:1987", 28596}, {u"arabic", 28596}, {u"ecma-114", 28596}, {u"asmo-708", 708},
    {u"iso-ir-127", 28596}, {u"csisolatinarabic", 28596}, {u"iso-8859-7", 28597},
    {u"iso_8859-7", 28597}, {u"iso_8859-7:1987", 28597}, {u"greek", 28597}, {u"greek8", 28597},
    {u"elot_928", 28597}, {u"ecma-118", 28597}, {u"iso-ir-126", 28597}, {u"csisolatingreek", 28597},
    {u"iso-8859-8", 28598}, {u"iso_8859-8", 28598}, {u"iso_8859-8:1988", 28598}, {u"hebrew", 28598},
    {u"visual", 28598}, {u"iso-8859-8 visual", 28598}, {u"iso-ir-138", 28598},
    {u"csisolatinhebrew", 28598}, {u"iso-8859-8-i", 38598}, {u"logical", 38598},
    {u"iso-8859-9", 28599}, {u"iso_8859-9", 28599}, {u"iso_8859-9:1989", 28599}, {u"latin5", 28599},
    {u"l5", 28599}, {u"iso-ir-148", 28599}, {u"csisolatin5", 28599}, {u"iso-8859-13", 28603},
    {u"iso-8859-15", 28605}, {u"iso_8859-15", 28605}, {u"latin-9", 28605}, {u"latin9", 28605},
    {u"l9", 28605}, {u"csisolatin9", 28605}, {u"shift_jis", 932}, {u"shift-jis", 932},
    {u"sjis", 932}, {u"x-sjis", 932}, {u"ms_kanji", 932}, {u"csshiftjis", 932},
    {u"cswindows31j", 932}, {u"windows-31j", 932}, {u"gb2312", 936}, {u"gbk", 936}, {u"cp936", 936},
    {u"gb2312-80", 936}, {u"gb_2312-80", 936}, {u"csgb2312", 936}, {u"chinese", 936},
    {u"csiso58gb231280", 936}, {u"iso-ir-58", 936}, {u"x-gbk", 936}, {u"gb18030", 54936},
    {u"ks_c_5601-1987", 949}, {u"ks_c_5601-1989", 949}, {u"ks_c_5601", 949}, {u"ksc_5601", 949},
    {u"ksc5601", 949}, {u"korean", 949}, {u"csksc56011987", 949}, {u"iso-ir-149", 949},
    {u"euc-kr", 949}, {u"cseuckr", 949}, {u"ks-c-5601", 949}, {u"big5", 950}, {u"big5-hkscs", 950},
    {u"cn-big5", 950}, {u"csbig5", 950}, {u"x-x-big5", 950}, {u"euc-jp", 51932},
    {u"x-euc-jp", 51932}, {u"cseucpkdfmtjapanese", 51932},
    {u"extended_unix_code_packed_format_for_japanese", 51932}, {u"iso-2022-jp", 50220},
    {u"csiso2022jp", 50221}, {u"iso-2022-kr", 50225}, {u"csiso2022kr", 50225}, {u"euc-cn", 51936},
    {u"x-euc-cn", 51936}, {u"hz-gb-2312", 52936}, {u"macintosh", 10000}, {u"mac", 10000},
    {u"x-mac-roman", 10000}, {u"x-mac-japanese", 10001}, {u"x-mac-chinesetrad", 10002},
    {u"x-mac-korean", 10003}, {u"x-mac-arabic", 10004}, {u"x-mac-hebrew", 10005},
    {u"x-mac-greek", 10006}, {u"x-mac-cyrillic", 10007}, {u"x-mac-chinesesimp", 10008},
    {u"x-mac-romanian", 10010}, {u"x-mac-ukrainian", 10017}, {u"x-mac-thai", 10021},
    {u"x-mac-ce", 10029}, {u"x-mac-icelandic", 10079}, {u"x-mac-turkish", 10081},
    {u"x-mac-croatian", 10082}, {u"ibm437", 437}, {u"cp437", 437}, {u"437", 437},
    {u"cspc8codepage437", 437}, {u"ibm850", 850}, {u"cp850", 850}, {u"850", 850},
    {u"cspc850multilingual", 850}, {u"ibm852", 852}, {u"cp852", 852}, {u"852", 852},
    {u"ibm855", 855}, {u"cp855", 855}, {u"ibm857", 857}, {u"cp857", 857}, {u"ibm860", 860},
    {u"cp860", 860}, {u"ibm861", 861}, {u"cp861", 861}, {u"ibm862", 862}, {u"cp862", 862},
    {u"dos-862", 862}, {u"ibm863", 863}, {u"cp863", 863}, {u"ibm864", 864}, {u"cp864", 864},
    {u"ibm865", 865}, {u"cp865", 865}, {u"cp866", 866}, {u"ibm866", 866}, {u"866", 866},
    {u"csibm866", 866}, {u"ibm869", 869}, {u"cp869", 869}, {u"ibm737", 737}, {u"ibm775", 775},
    {u"dos-720", 720}, {u"ibm037", 37}, {u"ibm500", 500}, {u"ibm870", 870}, {u"ibm1026", 1026},
    {u"ibm01047", 1047}, {u"x-ebcdic-koreanextended", 20833}, {u"x-ia5", 20105},
    {u"x-ia5-german", 20106}, {u"x-ia5-swedish", 20107}, {u"x-ia5-norwegian", 20108},
    {u"x-chinese-cns", 20000}, {u"x-chinese-eten", 20002}, {u"johab", 1361}, {u"x-iscii-de", 57002},
    {u"x-iscii-be", 57003}, {u"x-iscii-ta", 57004}, {u"x-iscii-te", 57005}, {u"x-iscii-as", 57006},
    {u"x-iscii-or", 57007}, {u"x-iscii-ka", 57008}, {u"x-iscii-ma", 57009}, {u"x-iscii-gu", 57010},
    {u"x-iscii-pa", 57011}, {u"x-europa", 29001}, {u"x-user-defined", 50000},
};

// The character entities of HTML 4 and "apos", in lowercase: where HTML tells
// two letters apart only by the case of the name (Aacute, aacute), the small
// letter's row comes first and so wins.
const NamedValue kEntities[] = {
    {u"aacute", 225}, {u"aacute", 193}, {u"acirc", 226}, {u"acirc", 194}, {u"acute", 180},
    {u"aelig", 230}, {u"aelig", 198}, {u"agrave", 224}, {u"agrave", 192}, {u"alefsym", 8501},
    {u"alpha", 945}, {u"alpha", 913}, {u"amp", 38}, {u"and", 8743}, {u"ang", 8736}, {u"aring", 229},
    {u"aring", 197}, {u"asymp", 8776}, {u"atilde", 227}, {u"atilde", 195}, {u"auml", 228},
    {u"auml", 196}, {u"bdquo", 8222}, {u"beta", 946}, {u"beta", 914}, {u"brvbar", 166},
    {u"bull", 8226}, {u"cap", 8745}, {u"ccedil", 231}, {u"ccedil", 199}, {u"cedil", 184},
    {u"cent", 162}, {u"chi", 967}, {u"chi", 935}, {u"circ", 710}, {u"clubs", 9827}, {u"cong", 8773},
    {u"copy", 169}, {u"crarr", 8629}, {u"cup", 8746}, {u"curren", 164}, {u"dagger", 8224},
    {u"dagger", 8225}, {u"darr", 8595}, {u"darr", 8659}, {u"deg", 176}, {u"delta", 948},
    {u"delta", 916}, {u"diams", 9830}, {u"divide", 247}, {u"eacute", 233}, {u"eacute", 201},
    {u"ecirc", 234}, {u"ecirc", 202}, {u"egrave", 232}, {u"egrave", 200}, {u"empty", 8709},
    {u"emsp", 8195}, {u"ensp", 8194}, {u"epsilon", 949}, {u"epsilon", 917}, {u"equiv", 8801},
    {u"eta", 951}, {u"eta", 919}, {u"eth", 240}, {u"eth", 208}, {u"euml", 235}, {u"euml", 203},
    {u"euro", 8364}, {u"exist", 8707}, {u"fnof", 402}, {u"forall", 8704}, {u"frac12", 189},
    {u"frac14", 188}, {u"frac34", 190}, {u"frasl", 8260}, {u"gamma", 947}, {u"gamma", 915},
    {u"ge", 8805}, {u"gt", 62}, {u"harr", 8596}, {u"harr", 8660}, {u"hearts", 9829},
    {u"hellip", 8230}, {u"iacute", 237}, {u"iacute", 205}, {u"icirc", 238}, {u"icirc", 206},
    {u"iexcl", 161}, {u"igrave", 236}, {u"igrave", 204}, {u"image", 8465}, {u"infin", 8734},
    {u"int", 8747}, {u"iota", 953}, {u"iota", 921}, {u"iquest", 191}, {u"isin", 8712},
    {u"iuml", 239}, {u"iuml", 207}, {u"kappa", 954}, {u"kappa", 922}, {u"lambda", 955},
    {u"lambda", 923}, {u"lang", 9001}, {u"laquo", 171}, {u"larr", 8592}, {u"larr", 8656},
    {u"lceil", 8968}, {u"ldquo", 8220}, {u"le", 8804}, {u"lfloor", 8970}, {u"lowast", 8727},
    {u"loz", 9674}, {u"lrm", 8206}, {u"lsaquo", 8249}, {u"lsquo", 8216}, {u"lt", 60},
    {u"macr", 175}, {u"mdash", 8212}, {u"micro", 181}, {u"middot", 183}, {u"minus", 8722},
    {u"mu", 956}, {u"mu", 924}, {u"nabla", 8711}, {u"nbsp", 160}, {u"ndash", 8211}, {u"ne", 8800},
    {u"ni", 8715}, {u"not", 172}, {u"notin", 8713}, {u"nsub", 8836}, {u"ntilde", 241},
    {u"ntilde", 209}, {u"nu", 957}, {u"nu", 925}, {u"oacute", 243}, {u"oacute", 211},
    {u"ocirc", 244}, {u"ocirc", 212}, {u"oelig", 339}, {u"oelig", 338}, {u"ograve", 242},
    {u"ograve", 210}, {u"oline", 8254}, {u"omega", 969}, {u"omega", 937}, {u"omicron", 959},
    {u"omicron", 927}, {u"oplus", 8853}, {u"or", 8744}, {u"ordf", 170}, {u"ordm", 186},
    {u"oslash", 248}, {u"oslash", 216}, {u"otilde", 245}, {u"otilde", 213}, {u"otimes", 8855},
    {u"ouml", 246}, {u"ouml", 214}, {u"para", 182}, {u"part", 8706}, {u"permil", 8240},
    {u"perp", 8869}, {u"phi", 966}, {u"phi", 934}, {u"pi", 960}, {u"pi", 928}, {u"piv", 982},
    {u"plusmn", 177}, {u"pound", 163}, {u"prime", 8242}, {u"prime", 8243}, {u"prod", 8719},
    {u"prop", 8733}, {u"psi", 968}, {u"psi", 936}, {u"quot", 34}, {u"radic", 8730}, {u"rang", 9002},
    {u"raquo", 187}, {u"rarr", 8594}, {u"rarr", 8658}, {u"rceil", 8969}, {u"rdquo", 8221},
    {u"real", 8476}, {u"reg", 174}, {u"rfloor", 8971}, {u"rho", 961}, {u"rho", 929}, {u"rlm", 8207},
    {u"rsaquo", 8250}, {u"rsquo", 8217}, {u"sbquo", 8218}, {u"scaron", 353}, {u"scaron", 352},
    {u"sdot", 8901}, {u"sect", 167}, {u"shy", 173}, {u"sigma", 963}, {u"sigma", 931},
    {u"sigmaf", 962}, {u"sim", 8764}, {u"spades", 9824}, {u"sub", 8834}, {u"sube", 8838},
    {u"sum", 8721}, {u"sup", 8835}, {u"sup1", 185}, {u"sup2", 178}, {u"sup3", 179}, {u"supe", 8839},
    {u"szlig", 223}, {u"tau", 964}, {u"tau", 932}, {u"there4", 8756}, {u"theta", 952},
    {u"theta", 920}, {u"thetasym", 977}, {u"thinsp", 8201}, {u"thorn", 254}, {u"thorn", 222},
    {u"tilde", 732}, {u"times", 215}, {u"trade", 8482}, {u"uacute", 250}, {u"uacute", 218},
    {u"uarr", 8593}, {u"uarr", 8657}, {u"ucirc", 251}, {u"ucirc", 219}, {u"ugrave", 249},
    {u"ugrave", 217}, {u"uml", 168}, {u"upsih", 978}, {u"upsilon", 965}, {u"upsilon", 933},
    {u"uuml", 252}, {u"uuml", 220}, {u"weierp", 8472}, {u"xi", 958}, {u"xi", 926}, {u"yacute", 253},
    {u"yacute", 221}, {u"yen", 165}, {u"yuml", 255}, {u"yuml", 376}, {u"zeta", 950}, {u"zeta", 918},
    {u"zwj", 8205}, {u"zwnj", 8204}, {u"apos", 39},
};

char16_t FoldAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
}

bool EqualsFolded(std::u16string_view name, const char16_t* lower) {
    size_t i = 0;
    for (; i < name.size(); ++i) {
        if (lower[i] == 0 || FoldAscii(name[i]) != lower[i]) return false;
    }
    return lower[i] == 0;
}

}  // namespace

uint32_t CharsetCodePage(std::u16string_view name) {
    if (name.substr(0, 6) == u"UTF-32") return 65005;
    for (const NamedValue& row : kCharsets) {
        if (EqualsFolded(name, row.name)) return row.value;
    }
    return 0;
}

uint32_t EntityCodePoint(std::u16string_view name) {
    if (name.size() > 8) return 0;
    for (const NamedValue& row : kEntities) {
        if (EqualsFolded(name, row.name)) return row.value;
    }
    return 0;
}

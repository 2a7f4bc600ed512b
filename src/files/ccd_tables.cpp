#include "files/ccd_tables.h"

#include <algorithm>
#include <cstddef>

#include "codec/table_lists.h"

namespace vantrel {

namespace {

namespace lists = table_lists;

// Text bytes whose 608 code differs from the byte itself. The ASCII signs that 608 replaces
// with accented letters have no code of their own in .ccd text.
struct TextException {
    uint8_t text;
    uint8_t code;
};
constexpr std::array<TextException, 10> kTextExceptions = {{
    {0x7C, 0x7F},  // | the solid block
    {0xD1, 0x7D},  // Ñ
    {0xE1, 0x2A},  // á
    {0xE7, 0x7B},  // ç
    {0xE9, 0x5C},  // é
    {0xED, 0x5E},  // í
    {0xF1, 0x7E},  // ñ
    {0xF3, 0x5F},  // ó
    {0xF7, 0x7C},  // ÷
    {0xFA, 0x60},  // ú
}};

constexpr bool StandsForItself(int b) {
    return (b >= 0x20 && b <= 0x29) || (b >= 0x2B && b <= 0x5B) || b == 0x5D ||
           (b >= 0x61 && b <= 0x7A);
}

constexpr std::array<uint8_t, 256> BuildTextCharMap() {
    std::array<uint8_t, 256> map{};
    for (int b = 0; b < 256; ++b) {
        if (StandsForItself(b)) map[b] = static_cast<uint8_t>(b);
    }
    for (const TextException& e : kTextExceptions) map[e.text] = e.code;
    return map;
}

constexpr std::array<uint8_t, 128> BuildCharNames() {
    std::array<uint8_t, 128> names{};
    for (int c = 0; c < 0x20; ++c) names[c] = '_';
    for (int c = 0x20; c < 0x80; ++c) {
        if (StandsForItself(c)) names[c] = static_cast<uint8_t>(c);
    }
    for (const TextException& e : kTextExceptions) names[e.code] = e.text;
    return names;
}

// Suffixes of the 32 preamble address codes of a row, by the second byte's offset.
constexpr std::array<const char*, 32> kPreambleSuffixes = {
    "Wh", "WhU", "Gr",  "GrU", "Bl",   "BlU", "Cy",  "CyU", "R",   "RU",  "Y",
    "YU", "Ma",  "MaU", "WhI", "WhIU", "00",  "00U", "04",  "04U", "08",  "08U",
    "12", "12U", "16",  "16U", "20",   "20U", "24",  "24U", "28",  "28U",
};

using NameTable = std::array<std::array<CcdName, 128>, 8>;

constexpr void Put(NameTable& t, uint16_t code, const char* a, const char* b = "") {
    CcdName& name = t[(code >> 8) & 7][code & 0x7F];
    size_t n = 0;
    for (const char* p = a; *p; ++p) name.text[n++] = *p;
    for (const char* p = b; *p; ++p) name.text[n++] = *p;
    name.text[n] = 0;
}

constexpr NameTable BuildControlNames() {
    NameTable t{};
    for (size_t row = 0; row < lists::kRowCodes.size(); ++row) {
        const char digits[3] = {static_cast<char>('0' + (row + 1) / 10),
                                static_cast<char>('0' + (row + 1) % 10), 0};
        for (size_t k = 0; k < kPreambleSuffixes.size(); ++k) {
            Put(t, static_cast<uint16_t>(lists::kRowCodes[row] + k), digits, kPreambleSuffixes[k]);
        }
    }
    for (int c = 0; c < 8; ++c) {
        const uint16_t background = static_cast<uint16_t>(lists::kBackgroundCode + 2 * c);
        Put(t, background, "B", lists::kColourNames[c]);
        Put(t, background + 1, t[0][background & 0x7F].text, "S");  // semi-transparent
    }
    for (int c = 0; c < 7; ++c) {
        const uint16_t midRow = static_cast<uint16_t>(lists::kMidRowColourCode + 2 * c);
        Put(t, midRow, lists::kColourNames[c]);
        Put(t, midRow + 1, lists::kColourNames[c], "U");
    }
    Put(t, lists::kBlackForegroundCode, lists::kColourNames[7]);
    Put(t, lists::kBlackForegroundCode + 1, lists::kColourNames[7], "U");
    for (const lists::Command& command : lists::kCommands) Put(t, command.code, command.name);
    Put(t, lists::kMidRowColourCode + 0x0F, "IU");
    for (size_t k = 0; k < lists::kSpecialChars.size(); ++k) {
        Put(t, static_cast<uint16_t>(lists::kSpecialCharFirstCode + k),
            lists::kSpecialChars[k].name);
    }
    const char transparent[2] = {kTransparentSpaceToken, 0};
    Put(t, kTransparentSpaceCode, transparent);
    for (size_t k = 0; k < lists::kExtendedChars.size(); ++k) {
        Put(t, lists::ExtendedCharCode(static_cast<int>(k)), lists::kExtendedChars[k].name);
    }
    return t;
}

}  // namespace

const std::array<uint8_t, 256> CcdTextCharMap = BuildTextCharMap();
const std::array<uint8_t, 128> CcdCharNames = BuildCharNames();
constinit const NameTable CcdControlNames = BuildControlNames();

// Preamble address codes for rows 01 to 15, background and mid-row attributes, special and
// extended characters, commands and tab offsets, in byte order of their names.
const std::array<CcdMnemonic, kCcdMnemonicCount> CcdMnemonicTable = {{
    {"!", 0x1227},      {"*", 0x1228},      {"-", 0x122A},     {".", 0x122D},
    {"0100", 0x1150},   {"0100U", 0x1151},  {"0104", 0x1152},  {"0104U", 0x1153},
    {"0108", 0x1154},   {"0108U", 0x1155},  {"0112", 0x1156},  {"0112U", 0x1157},
    {"0116", 0x1158},   {"0116U", 0x1159},  {"0120", 0x115A},  {"0120U", 0x115B},
    {"0124", 0x115C},   {"0124U", 0x115D},  {"0128", 0x115E},  {"0128U", 0x115F},
    {"01Bl", 0x1144},   {"01BlU", 0x1145},  {"01Cy", 0x1146},  {"01CyU", 0x1147},
    {"01Gr", 0x1142},   {"01GrU", 0x1143},  {"01Ma", 0x114C},  {"01MaU", 0x114D},
    {"01R", 0x1148},    {"01RU", 0x1149},   {"01Wh", 0x1140},  {"01WhI", 0x114E},
    {"01WhIU", 0x114F}, {"01WhU", 0x1141},  {"01Y", 0x114A},   {"01YU", 0x114B},
    {"0200", 0x1170},   {"0200U", 0x1171},  {"0204", 0x1172},  {"0204U", 0x1173},
    {"0208", 0x1174},   {"0208U", 0x1175},  {"0212", 0x1176},  {"0212U", 0x1177},
    {"0216", 0x1178},   {"0216U", 0x1179},  {"0220", 0x117A},  {"0220U", 0x117B},
    {"0224", 0x117C},   {"0224U", 0x117D},  {"0228", 0x117E},  {"0228U", 0x117F},
    {"02Bl", 0x1164},   {"02BlU", 0x1165},  {"02Cy", 0x1166},  {"02CyU", 0x1167},
    {"02Gr", 0x1162},   {"02GrU", 0x1163},  {"02Ma", 0x116C},  {"02MaU", 0x116D},
    {"02R", 0x1168},    {"02RU", 0x1169},   {"02Wh", 0x1160},  {"02WhI", 0x116E},
    {"02WhIU", 0x116F}, {"02WhU", 0x1161},  {"02Y", 0x116A},   {"02YU", 0x116B},
    {"0300", 0x1250},   {"0300U", 0x1251},  {"0304", 0x1252},  {"0304U", 0x1253},
    {"0308", 0x1254},   {"0308U", 0x1255},  {"0312", 0x1256},  {"0312U", 0x1257},
    {"0316", 0x1258},   {"0316U", 0x1259},  {"0320", 0x125A},  {"0320U", 0x125B},
    {"0324", 0x125C},   {"0324U", 0x125D},  {"0328", 0x125E},  {"0328U", 0x125F},
    {"03Bl", 0x1244},   {"03BlU", 0x1245},  {"03Cy", 0x1246},  {"03CyU", 0x1247},
    {"03Gr", 0x1242},   {"03GrU", 0x1243},  {"03Ma", 0x124C},  {"03MaU", 0x124D},
    {"03R", 0x1248},    {"03RU", 0x1249},   {"03Wh", 0x1240},  {"03WhI", 0x124E},
    {"03WhIU", 0x124F}, {"03WhU", 0x1241},  {"03Y", 0x124A},   {"03YU", 0x124B},
    {"0400", 0x1270},   {"0400U", 0x1271},  {"0404", 0x1272},  {"0404U", 0x1273},
    {"0408", 0x1274},   {"0408U", 0x1275},  {"0412", 0x1276},  {"0412U", 0x1277},
    {"0416", 0x1278},   {"0416U", 0x1279},  {"0420", 0x127A},  {"0420U", 0x127B},
    {"0424", 0x127C},   {"0424U", 0x127D},  {"0428", 0x127E},  {"0428U", 0x127F},
    {"04Bl", 0x1264},   {"04BlU", 0x1265},  {"04Cy", 0x1266},  {"04CyU", 0x1267},
    {"04Gr", 0x1262},   {"04GrU", 0x1263},  {"04Ma", 0x126C},  {"04MaU", 0x126D},
    {"04R", 0x1268},    {"04RU", 0x1269},   {"04Wh", 0x1260},  {"04WhI", 0x126E},
    {"04WhIU", 0x126F}, {"04WhU", 0x1261},  {"04Y", 0x126A},   {"04YU", 0x126B},
    {"0500", 0x1550},   {"0500U", 0x1551},  {"0504", 0x1552},  {"0504U", 0x1553},
    {"0508", 0x1554},   {"0508U", 0x1555},  {"0512", 0x1556},  {"0512U", 0x1557},
    {"0516", 0x1558},   {"0516U", 0x1559},  {"0520", 0x155A},  {"0520U", 0x155B},
    {"0524", 0x155C},   {"0524U", 0x155D},  {"0528", 0x155E},  {"0528U", 0x155F},
    {"05Bl", 0x1544},   {"05BlU", 0x1545},  {"05Cy", 0x1546},  {"05CyU", 0x1547},
    {"05Gr", 0x1542},   {"05GrU", 0x1543},  {"05Ma", 0x154C},  {"05MaU", 0x154D},
    {"05R", 0x1548},    {"05RU", 0x1549},   {"05Wh", 0x1540},  {"05WhI", 0x154E},
    {"05WhIU", 0x154F}, {"05WhU", 0x1541},  {"05Y", 0x154A},   {"05YU", 0x154B},
    {"0600", 0x1570},   {"0600U", 0x1571},  {"0604", 0x1572},  {"0604U", 0x1573},
    {"0608", 0x1574},   {"0608U", 0x1575},  {"0612", 0x1576},  {"0612U", 0x1577},
    {"0616", 0x1578},   {"0616U", 0x1579},  {"0620", 0x157A},  {"0620U", 0x157B},
    {"0624", 0x157C},   {"0624U", 0x157D},  {"0628", 0x157E},  {"0628U", 0x157F},
    {"06Bl", 0x1564},   {"06BlU", 0x1565},  {"06Cy", 0x1566},  {"06CyU", 0x1567},
    {"06Gr", 0x1562},   {"06GrU", 0x1563},  {"06Ma", 0x156C},  {"06MaU", 0x156D},
    {"06R", 0x1568},    {"06RU", 0x1569},   {"06Wh", 0x1560},  {"06WhI", 0x156E},
    {"06WhIU", 0x156F}, {"06WhU", 0x1561},  {"06Y", 0x156A},   {"06YU", 0x156B},
    {"0700", 0x1650},   {"0700U", 0x1651},  {"0704", 0x1652},  {"0704U", 0x1653},
    {"0708", 0x1654},   {"0708U", 0x1655},  {"0712", 0x1656},  {"0712U", 0x1657},
    {"0716", 0x1658},   {"0716U", 0x1659},  {"0720", 0x165A},  {"0720U", 0x165B},
    {"0724", 0x165C},   {"0724U", 0x165D},  {"0728", 0x165E},  {"0728U", 0x165F},
    {"07Bl", 0x1644},   {"07BlU", 0x1645},  {"07Cy", 0x1646},  {"07CyU", 0x1647},
    {"07Gr", 0x1642},   {"07GrU", 0x1643},  {"07Ma", 0x164C},  {"07MaU", 0x164D},
    {"07R", 0x1648},    {"07RU", 0x1649},   {"07Wh", 0x1640},  {"07WhI", 0x164E},
    {"07WhIU", 0x164F}, {"07WhU", 0x1641},  {"07Y", 0x164A},   {"07YU", 0x164B},
    {"0800", 0x1670},   {"0800U", 0x1671},  {"0804", 0x1672},  {"0804U", 0x1673},
    {"0808", 0x1674},   {"0808U", 0x1675},  {"0812", 0x1676},  {"0812U", 0x1677},
    {"0816", 0x1678},   {"0816U", 0x1679},  {"0820", 0x167A},  {"0820U", 0x167B},
    {"0824", 0x167C},   {"0824U", 0x167D},  {"0828", 0x167E},  {"0828U", 0x167F},
    {"08Bl", 0x1664},   {"08BlU", 0x1665},  {"08Cy", 0x1666},  {"08CyU", 0x1667},
    {"08Gr", 0x1662},   {"08GrU", 0x1663},  {"08Ma", 0x166C},  {"08MaU", 0x166D},
    {"08R", 0x1668},    {"08RU", 0x1669},   {"08Wh", 0x1660},  {"08WhI", 0x166E},
    {"08WhIU", 0x166F}, {"08WhU", 0x1661},  {"08Y", 0x166A},   {"08YU", 0x166B},
    {"0900", 0x1750},   {"0900U", 0x1751},  {"0904", 0x1752},  {"0904U", 0x1753},
    {"0908", 0x1754},   {"0908U", 0x1755},  {"0912", 0x1756},  {"0912U", 0x1757},
    {"0916", 0x1758},   {"0916U", 0x1759},  {"0920", 0x175A},  {"0920U", 0x175B},
    {"0924", 0x175C},   {"0924U", 0x175D},  {"0928", 0x175E},  {"0928U", 0x175F},
    {"09Bl", 0x1744},   {"09BlU", 0x1745},  {"09Cy", 0x1746},  {"09CyU", 0x1747},
    {"09Gr", 0x1742},   {"09GrU", 0x1743},  {"09Ma", 0x174C},  {"09MaU", 0x174D},
    {"09R", 0x1748},    {"09RU", 0x1749},   {"09Wh", 0x1740},  {"09WhI", 0x174E},
    {"09WhIU", 0x174F}, {"09WhU", 0x1741},  {"09Y", 0x174A},   {"09YU", 0x174B},
    {"1/2", 0x1132},    {"1000", 0x1770},   {"1000U", 0x1771}, {"1004", 0x1772},
    {"1004U", 0x1773},  {"1008", 0x1774},   {"1008U", 0x1775}, {"1012", 0x1776},
    {"1012U", 0x1777},  {"1016", 0x1778},   {"1016U", 0x1779}, {"1020", 0x177A},
    {"1020U", 0x177B},  {"1024", 0x177C},   {"1024U", 0x177D}, {"1028", 0x177E},
    {"1028U", 0x177F},  {"10Bl", 0x1764},   {"10BlU", 0x1765}, {"10Cy", 0x1766},
    {"10CyU", 0x1767},  {"10Gr", 0x1762},   {"10GrU", 0x1763}, {"10Ma", 0x176C},
    {"10MaU", 0x176D},  {"10R", 0x1768},    {"10RU", 0x1769},  {"10Wh", 0x1760},
    {"10WhI", 0x176E},  {"10WhIU", 0x176F}, {"10WhU", 0x1761}, {"10Y", 0x176A},
    {"10YU", 0x176B},   {"1100", 0x1050},   {"1100U", 0x1051}, {"1104", 0x1052},
    {"1104U", 0x1053},  {"1108", 0x1054},   {"1108U", 0x1055}, {"1112", 0x1056},
    {"1112U", 0x1057},  {"1116", 0x1058},   {"1116U", 0x1059}, {"1120", 0x105A},
    {"1120U", 0x105B},  {"1124", 0x105C},   {"1124U", 0x105D}, {"1128", 0x105E},
    {"1128U", 0x105F},  {"11Bl", 0x1044},   {"11BlU", 0x1045}, {"11Cy", 0x1046},
    {"11CyU", 0x1047},  {"11Gr", 0x1042},   {"11GrU", 0x1043}, {"11Ma", 0x104C},
    {"11MaU", 0x104D},  {"11R", 0x1048},    {"11RU", 0x1049},  {"11Wh", 0x1040},
    {"11WhI", 0x104E},  {"11WhIU", 0x104F}, {"11WhU", 0x1041}, {"11Y", 0x104A},
    {"11YU", 0x104B},   {"1200", 0x1350},   {"1200U", 0x1351}, {"1204", 0x1352},
    {"1204U", 0x1353},  {"1208", 0x1354},   {"1208U", 0x1355}, {"1212", 0x1356},
    {"1212U", 0x1357},  {"1216", 0x1358},   {"1216U", 0x1359}, {"1220", 0x135A},
    {"1220U", 0x135B},  {"1224", 0x135C},   {"1224U", 0x135D}, {"1228", 0x135E},
    {"1228U", 0x135F},  {"12Bl", 0x1344},   {"12BlU", 0x1345}, {"12Cy", 0x1346},
    {"12CyU", 0x1347},  {"12Gr", 0x1342},   {"12GrU", 0x1343}, {"12Ma", 0x134C},
    {"12MaU", 0x134D},  {"12R", 0x1348},    {"12RU", 0x1349},  {"12Wh", 0x1340},
    {"12WhI", 0x134E},  {"12WhIU", 0x134F}, {"12WhU", 0x1341}, {"12Y", 0x134A},
    {"12YU", 0x134B},   {"1300", 0x1370},   {"1300U", 0x1371}, {"1304", 0x1372},
    {"1304U", 0x1373},  {"1308", 0x1374},   {"1308U", 0x1375}, {"1312", 0x1376},
    {"1312U", 0x1377},  {"1316", 0x1378},   {"1316U", 0x1379}, {"1320", 0x137A},
    {"1320U", 0x137B},  {"1324", 0x137C},   {"1324U", 0x137D}, {"1328", 0x137E},
    {"1328U", 0x137F},  {"13Bl", 0x1364},   {"13BlU", 0x1365}, {"13Cy", 0x1366},
    {"13CyU", 0x1367},  {"13Gr", 0x1362},   {"13GrU", 0x1363}, {"13Ma", 0x136C},
    {"13MaU", 0x136D},  {"13R", 0x1368},    {"13RU", 0x1369},  {"13Wh", 0x1360},
    {"13WhI", 0x136E},  {"13WhIU", 0x136F}, {"13WhU", 0x1361}, {"13Y", 0x136A},
    {"13YU", 0x136B},   {"1400", 0x1450},   {"1400U", 0x1451}, {"1404", 0x1452},
    {"1404U", 0x1453},  {"1408", 0x1454},   {"1408U", 0x1455}, {"1412", 0x1456},
    {"1412U", 0x1457},  {"1416", 0x1458},   {"1416U", 0x1459}, {"1420", 0x145A},
    {"1420U", 0x145B},  {"1424", 0x145C},   {"1424U", 0x145D}, {"1428", 0x145E},
    {"1428U", 0x145F},  {"14Bl", 0x1444},   {"14BlU", 0x1445}, {"14Cy", 0x1446},
    {"14CyU", 0x1447},  {"14Gr", 0x1442},   {"14GrU", 0x1443}, {"14Ma", 0x144C},
    {"14MaU", 0x144D},  {"14R", 0x1448},    {"14RU", 0x1449},  {"14Wh", 0x1440},
    {"14WhI", 0x144E},  {"14WhIU", 0x144F}, {"14WhU", 0x1441}, {"14Y", 0x144A},
    {"14YU", 0x144B},   {"1500", 0x1470},   {"1500U", 0x1471}, {"1504", 0x1472},
    {"1504U", 0x1473},  {"1508", 0x1474},   {"1508U", 0x1475}, {"1512", 0x1476},
    {"1512U", 0x1477},  {"1516", 0x1478},   {"1516U", 0x1479}, {"1520", 0x147A},
    {"1520U", 0x147B},  {"1524", 0x147C},   {"1524U", 0x147D}, {"1528", 0x147E},
    {"1528U", 0x147F},  {"15Bl", 0x1464},   {"15BlU", 0x1465}, {"15Cy", 0x1466},
    {"15CyU", 0x1467},  {"15Gr", 0x1462},   {"15GrU", 0x1463}, {"15Ma", 0x146C},
    {"15MaU", 0x146D},  {"15R", 0x1468},    {"15RU", 0x1469},  {"15Wh", 0x1460},
    {"15WhI", 0x146E},  {"15WhIU", 0x146F}, {"15WhU", 0x1461}, {"15Y", 0x146A},
    {"15YU", 0x146B},   {"<<", 0x123E},     {">>", 0x123F},    {"?", 0x1133},
    {"BBk", 0x102E},    {"BBkS", 0x102F},   {"BBl", 0x1024},   {"BBlS", 0x1025},
    {"BCy", 0x1026},    {"BCyS", 0x1027},   {"BGr", 0x1022},   {"BGrS", 0x1023},
    {"BMa", 0x102C},    {"BMaS", 0x102D},   {"BR", 0x1028},    {"BRS", 0x1029},
    {"BS", 0x1421},     {"BT", 0x172D},     {"BWh", 0x1020},   {"BWhS", 0x1021},
    {"BY", 0x102A},     {"BYS", 0x102B},    {"Bk", 0x172E},    {"BkU", 0x172F},
    {"Bl", 0x1124},     {"BlU", 0x1125},    {"C", 0x122B},     {"CR", 0x142D},
    {"Cy", 0x1126},     {"CyU", 0x1127},    {"DER", 0x1424},   {"EDM", 0x142C},
    {"ENM", 0x142E},    {"EOC", 0x142F},    {"FON", 0x1428},   {"Gr", 0x1122},
    {"GrU", 0x1123},    {"I", 0x112E},      {"IU", 0x112F},    {"L", 0x1136},
    {"Ma", 0x112C},     {"MaU", 0x112D},    {"R", 0x1128},     {"RCL", 0x1420},
    {"RDC", 0x1429},    {"RTD", 0x142B},    {"RU", 0x1129},    {"RU2", 0x1425},
    {"RU3", 0x1426},    {"RU4", 0x1427},    {"TO1", 0x1721},   {"TO2", 0x1722},
    {"TO3", 0x1723},    {"TR", 0x142A},     {"Wh", 0x1120},    {"WhU", 0x1121},
    {"Y", 0x112A},      {"YU", 0x112B},     {"\\", 0x132B},    {"^", 0x132C},
    {"_", 0x132D},      {"bar", 0x1337},    {"cent", 0x1135},  {"lb", 0x1329},
    {"ldq", 0x122E},    {"ll", 0x133E},     {"lr", 0x133F},    {"lsq", 0x1226},
    {"note", 0x1137},   {"o", 0x1131},      {"rb", 0x132A},    {"rdq", 0x122F},
    {"reg", 0x1130},    {"rsq", 0x1229},    {"sm", 0x122C},    {"tm", 0x1134},
    {"ul", 0x133C},     {"ur", 0x133D},     {"x", 0x1336},     {"yen", 0x1335},
    {"|", 0x132E},      {"~", 0x132F},      {"\xC0", 0x1230},  {"\xC1", 0x1220},
    {"\xC2", 0x1231},   {"\xC3", 0x1320},   {"\xC4", 0x1330},  {"\xC5", 0x1338},
    {"\xC7", 0x1232},   {"\xC8", 0x1233},   {"\xC9", 0x1221},  {"\xCA", 0x1234},
    {"\xCB", 0x1235},   {"\xCC", 0x1323},   {"\xCD", 0x1322},  {"\xCE", 0x1237},
    {"\xCF", 0x1238},   {"\xD2", 0x1325},   {"\xD3", 0x1222},  {"\xD4", 0x123A},
    {"\xD5", 0x1327},   {"\xD6", 0x1332},   {"\xD8", 0x133A},  {"\xD9", 0x123B},
    {"\xDA", 0x1223},   {"\xDB", 0x123D},   {"\xDC", 0x1224},  {"\xDF", 0x1334},
    {"\xE0", 0x1138},   {"\xE2", 0x113B},   {"\xE3", 0x1321},  {"\xE4", 0x1331},
    {"\xE5", 0x1339},   {"\xE8", 0x113A},   {"\xEA", 0x113C},  {"\xEB", 0x1236},
    {"\xEC", 0x1324},   {"\xEE", 0x113D},   {"\xEF", 0x1239},  {"\xF2", 0x1326},
    {"\xF4", 0x113E},   {"\xF5", 0x1328},   {"\xF6", 0x1333},  {"\xF8", 0x133B},
    {"\xF9", 0x123C},   {"\xFB", 0x113F},   {"\xFC", 0x1225},
}};

uint16_t LookupMnemonic(std::string_view name) {
    // std::string_view compares through char_traits<char>, which orders bytes as unsigned.
    const auto it = std::lower_bound(
        CcdMnemonicTable.begin(), CcdMnemonicTable.end(), name,
        [](const CcdMnemonic& entry, std::string_view key) { return entry.name < key; });
    if (it == CcdMnemonicTable.end() || std::string_view(it->name) != name) {
        return kUnknownMnemonic;
    }
    return it->code;
}

}  // namespace vantrel

#include "DefaultChannels.h"

#include "Utf.h"
#include "codepage.h"

#include <string>

namespace vorlek::store {
namespace {

constexpr int H = 0;
constexpr int V = 1;

// Keys are indexed (so never changed by an update); text is stored with
// Unicode compression, as Access does for new text fields.
jet::Column MakeColumn(const char* name, jet::ColumnType type, std::uint16_t length = 0,
                       bool key = false) {
    jet::Column c;
    c.name = name;
    c.type = type;
    c.length = length;
    c.compressed = type == jet::ColumnType::Text;
    c.indexed = key;
    return c;
}

} // namespace

// clang-format off
const std::array<DefaultSatellite, 32> kDefaultChannels = {{
    {"Türksat 42E",
     {{
         {"TRT 1 HD", 11096, H, 30000},
         {"Digiturk", 11794, V, 30000},
         {"Kanal D", 11054, H, 30000},
         {"Show TV", 12015, H, 27500},
         {"ATV", 11916, V, 30000},
         {"TRT Haber", 10962, H, 16666},
         {"Star TV", 12130, V, 27500},
         {"TRT Radyo", 12605, V, 34285},
     }}},
    {"Türksat 50E",
     {{
         {"Türksat 4B", 10969, V, 30000},
         {"TRT Spor", 11054, V, 30000},
         {"Beyaz TV", 11130, H, 30000},
         {"TGRT", 11175, V, 30000},
         {"Kanal 7", 11596, V, 30000},
         {"Ülke TV", 11637, H, 30000},
         {"TV 8", 12054, V, 30000},
         {"Tivibu", 12578, H, 30000},
     }}},
    {"Hot Bird 13E",
     {{
         {"RAI", 11766, H, 27500},
         {"Euronews", 11034, V, 27500},
         {"Arte", 10971, H, 29700},
         {"Mediaset", 11919, V, 27500},
         {"Polsat", 11488, H, 27500},
         {"TVP", 11804, V, 27500},
         {"Sky Italia", 12111, V, 27500},
         {"Nova", 12597, V, 27500},
     }}},
    {"Astra 19.2E",
     {{
         {"Das Erste", 11836, H, 27500},
         {"ZDF", 11953, H, 27500},
         {"ARD HD", 11494, H, 22000},
         {"ZDF HD", 11362, H, 22000},
         {"RTL", 12188, H, 27500},
         {"ProSieben", 12545, H, 22000},
         {"Canal+ FR", 11856, V, 29700},
         {"Movistar", 10847, V, 22000},
     }}},
    {"Eutelsat 7E",
     {{
         {"TRT World", 11492, V, 30000},
         {"Kanal 24", 11471, V, 30000},
         {"Digiturk 7E", 10804, H, 30000},
         {"Habertürk", 11524, H, 30000},
         {"Cine5", 11596, V, 30000},
         {"TRT Belgesel", 10846, H, 30000},
         {"KRT", 11200, V, 5000},
         {"Feeds 7E", 12515, H, 6000},
     }}},
    {"Eutelsat 9E",
     {{
         {"KA-SAT", 11766, V, 27500},
         {"Eutelsat 9B", 11785, H, 27500},
         {"Mobile TV", 11996, V, 27500},
         {"Ukraine TV", 12034, V, 27500},
         {"Italy", 11843, H, 27500},
         {"DNA", 12073, H, 27500},
         {"RTV Serbia", 12380, V, 27500},
         {"Kosovo", 12418, V, 27500},
     }}},
    {"Eutelsat 10E",
     {{
         {"Feeds 10E", 11596, H, 7200},
         {"Eutelsat 10B", 12564, H, 7200},
         {"SNG 10E", 11021, V, 7500},
         {"Occasional", 10968, H, 6111},
         {"Iraq TV", 11668, V, 6666},
         {"Sport feed", 11471, V, 5632},
         {"News feed", 11060, H, 7200},
         {"Radio 10E", 11175, V, 4000},
     }}},
    {"Eutelsat 16E",
     {{
         {"Total TV", 11304, H, 30000},
         {"Max TV", 11262, V, 30000},
         {"HRT", 10972, V, 27500},
         {"RTS", 11345, H, 30000},
         {"Slovenia", 11637, V, 30000},
         {"Bulsatcom", 12563, H, 30000},
         {"Arena Sport", 12690, H, 30000},
         {"RTCG", 11428, V, 30000},
     }}},
    {"Eutelsat 21.5E",
     {{
         {"Libya TV", 10961, V, 27500},
         {"Afghan TV", 11134, H, 5000},
         {"Iraq Sat", 11512, V, 7000},
         {"Sudan TV", 11548, V, 2734},
         {"Feeds 21.5E", 11600, H, 7500},
         {"Mali TV", 11174, V, 3000},
         {"Chad TV", 10994, H, 2500},
         {"Niger TV", 11195, V, 2400},
     }}},
    {"Astra 23.5E",
     {{
         {"Skylink", 11992, H, 27500},
         {"CT", 12525, V, 27500},
         {"Markiza", 12070, H, 27500},
         {"Digi CZ", 12187, V, 27500},
         {"Canal+ NL", 12565, H, 27500},
         {"Focus Sat", 11875, H, 27500},
         {"Freesat NL", 10773, H, 22000},
         {"Ziggo", 12642, V, 27500},
     }}},
    {"Badr 26E",
     {{
         {"MBC", 11823, H, 27500},
         {"Al Arabiya", 12073, V, 27500},
         {"OSN", 12226, V, 27500},
         {"Al Jazeera", 11996, H, 27500},
         {"Rotana", 12034, V, 27500},
         {"Saudi TV", 11900, H, 27500},
         {"Dubai TV", 12130, H, 27500},
         {"LBC", 11747, V, 27500},
     }}},
    {"Astra 28.2E",
     {{
         {"BBC One HD", 10847, V, 23000},
         {"ITV", 10758, V, 23000},
         {"Channel 4", 10788, V, 22000},
         {"Sky News", 11953, V, 27500},
         {"BBC Two", 10803, H, 22000},
         {"Freesat", 11426, H, 27500},
         {"Sky UK", 12285, V, 29500},
         {"BBC Radio", 11229, V, 27500},
     }}},
    {"Arabsat 30.5E",
     {{
         {"Arabsat 5A", 12523, V, 27500},
         {"Algeria TV", 12647, H, 27500},
         {"Iraq 30.5E", 12722, V, 27500},
         {"Kurdsat", 11495, H, 3333},
         {"Ennahar", 12604, V, 27500},
         {"Al Iraqiya", 12563, V, 27500},
         {"Bahrain TV", 12673, H, 6500},
         {"Yemen TV", 12604, H, 3600},
     }}},
    {"Astra 31.5E",
     {{
         {"Astra 5B", 12604, H, 27500},
         {"Viasat UA", 11817, H, 27500},
         {"Ukraine", 12073, H, 27500},
         {"1+1", 12130, V, 27500},
         {"Xtra TV", 11876, V, 27500},
         {"Mobile 31E", 10961, V, 27500},
         {"Georgia TV", 12245, V, 27500},
         {"Feeds 31.5E", 11742, H, 27500},
     }}},
    {"Eutelsat 36E",
     {{
         {"NTV Plus", 12130, H, 27500},
         {"Tricolor", 12226, H, 27500},
         {"MultiChoice", 11785, H, 27500},
         {"DStv", 11938, H, 27500},
         {"Tricolor 2", 12360, V, 27500},
         {"NTV 2", 11919, V, 27500},
         {"Zap TV", 11390, V, 27500},
         {"Feeds 36E", 12654, H, 27500},
     }}},
    {"Hellas Sat 39E",
     {{
         {"Nova GR", 12524, H, 30000},
         {"Cosmote TV", 12565, H, 30000},
         {"ERT", 12606, V, 30000},
         {"Mega", 12648, H, 30000},
         {"Alpha", 12690, V, 30000},
         {"Cyprus", 12732, H, 30000},
         {"Skai", 11512, V, 30000},
         {"Hellas Feed", 12313, V, 4000},
     }}},
    {"Express 40E",
     {{
         {"RTR Planeta", 11665, H, 4340},
         {"Express AM7", 11524, V, 4444},
         {"Kazakh TV", 11010, V, 4340},
         {"Feeds 40E", 11044, H, 6000},
         {"Russia 24", 11492, V, 4340},
         {"Muz TV", 11106, H, 3700},
         {"Kultura", 11606, V, 4340},
         {"Radio 40E", 10975, H, 2500},
     }}},
    {"Azerspace 46E",
     {{
         {"AzTV", 11175, H, 27500},
         {"Ictimai", 11135, V, 27500},
         {"ARB", 11095, H, 27500},
         {"Lider TV", 11053, V, 27500},
         {"Space TV", 11018, H, 27500},
         {"Idman TV", 10970, V, 27500},
         {"Medeniyyet", 11215, V, 27500},
         {"Xazar TV", 11255, H, 27500},
     }}},
    {"Yahsat 52.5E",
     {{
         {"beIN MENA", 11747, V, 27500},
         {"Yahsat 1A", 11766, H, 27500},
         {"Abu Dhabi", 11843, V, 27500},
         {"Sharjah TV", 11881, H, 27500},
         {"Fujairah", 11919, V, 27500},
         {"Oman TV", 11958, H, 27500},
         {"Al Emarat", 11996, V, 27500},
         {"Baynounah", 12034, H, 27500},
     }}},
    {"NSS 57E",
     {{
         {"NSS 12", 11471, V, 30000},
         {"DD Free", 11565, H, 30000},
         {"Pakistan", 11633, V, 29500},
         {"Afghan 57E", 11546, H, 3000},
         {"Ethiopia", 11674, V, 30000},
         {"Kurd 57E", 12596, H, 45000},
         {"Iran Feed", 12526, V, 30000},
         {"Feeds 57E", 11059, H, 3333},
     }}},
    {"Intelsat 62E",
     {{
         {"IS 39", 11555, V, 30000},
         {"Kenya TV", 11596, H, 30000},
         {"Tajik TV", 11140, V, 5000},
         {"Feeds 62E", 11170, H, 6000},
         {"Uzbek TV", 11015, V, 3600},
         {"Kyrgyz TV", 11674, H, 30000},
         {"Afghan 62E", 11096, V, 3300},
         {"Radio 62E", 11060, H, 2750},
     }}},
    {"ABS 75E",
     {{
         {"ABS 2", 11559, V, 22000},
         {"MTS TV", 12000, H, 27500},
         {"Continent", 11920, V, 27500},
         {"Russia 75E", 12040, H, 43200},
         {"Mongolia", 11080, V, 3200},
         {"Pakistan 75E", 11676, H, 7000},
         {"Sri Lanka", 11720, V, 7000},
         {"Feeds 75E", 11060, H, 4800},
     }}},
    {"Eutelsat 3B 3E",
     {{
         {"Eutelsat 3B", 12640, V, 4167},
         {"Rascom", 11004, H, 5632},
         {"Feeds 3E", 12524, H, 7200},
         {"Angola TV", 11094, V, 7200},
         {"Nigeria", 11472, V, 7200},
         {"Ghana TV", 12732, H, 3000},
         {"Benin TV", 12594, V, 3500},
         {"Zambia TV", 11630, H, 5000},
     }}},
    {"Astra 4.8E",
     {{
         {"Viasat", 11766, H, 27500},
         {"Astra 4A", 12073, H, 27500},
         {"Sirius", 11727, H, 27500},
         {"Ukraine 5E", 12130, V, 27500},
         {"Viasat 2", 11843, H, 27500},
         {"Teledünya", 11880, H, 27500},
         {"Baltic TV", 11996, V, 27500},
         {"Viasat 3", 12245, H, 27500},
     }}},
    {"Eutelsat 33E",
     {{
         {"Eutelsat 33", 11669, V, 5632},
         {"Iraq 33E", 11104, V, 4000},
         {"Feeds 33E", 11136, H, 3600},
         {"Kurd 33E", 11596, H, 6666},
         {"Kazakh 33E", 11007, V, 4440},
         {"Georgia 33E", 11510, V, 6000},
         {"Armenia", 11181, H, 3000},
         {"Syria 33E", 12606, H, 4400},
     }}},
    {"Thor 0.8W",
     {{
         {"Canal Digit", 11216, V, 24500},
         {"NRK", 11325, H, 24500},
         {"TV 2 Norge", 11421, H, 24500},
         {"Allente", 12015, H, 28000},
         {"Boxer", 11247, V, 24500},
         {"DR", 11785, H, 28000},
         {"SVT", 11938, V, 30000},
         {"YLE", 12130, V, 28000},
     }}},
    {"Amos 4W",
     {{
         {"Amos 3", 10722, H, 27500},
         {"Yes TV", 11139, V, 27500},
         {"Israel TV", 11180, H, 27500},
         {"Hungary", 11013, V, 27500},
         {"UA TV", 10759, V, 30000},
         {"Freeview IL", 11514, H, 27500},
         {"Amos 7", 11601, V, 27500},
         {"Czech 4W", 11727, H, 30000},
     }}},
    {"Eutelsat 5W",
     {{
         {"TNT Sat", 11096, H, 29950},
         {"France 24", 11054, V, 29950},
         {"Fransat", 12690, V, 30000},
         {"RTVE", 11200, V, 29500},
         {"TF1", 11054, H, 29950},
         {"M6", 11096, V, 29950},
         {"Orange FR", 11220, H, 29950},
         {"Radio 5W", 12732, V, 2400},
     }}},
    {"Nilesat 7W",
     {{
         {"Nile TV", 11747, H, 27500},
         {"MBC Masr", 11862, V, 27500},
         {"ONTV", 12226, V, 27500},
         {"CBC", 11013, H, 27500},
         {"Al Hayat", 11958, H, 27500},
         {"Dream TV", 11179, H, 27500},
         {"Sada Elbalad", 11843, V, 27500},
         {"Al Nahar", 10853, H, 27500},
     }}},
    {"Eutelsat 8W",
     {{
         {"Nessma", 11096, V, 27500},
         {"Eutelsat 8WB", 11137, H, 27500},
         {"Algerie 8W", 11012, V, 27500},
         {"Maroc TV", 11179, H, 27500},
         {"Tunisie", 11221, V, 27500},
         {"Libya 8W", 11262, H, 27500},
         {"Mauritanie", 11304, V, 27500},
         {"Feeds 8W", 12688, H, 5632},
     }}},
    {"Eutelsat 12.5W",
     {{
         {"Chronicles", 11055, V, 6250},
         {"Feeds 12.5W", 11105, H, 3800},
         {"SNG 12.5W", 11173, V, 7200},
         {"Africa 12W", 11213, H, 5632},
         {"Sport 12.5W", 12564, V, 7200},
         {"Deutsche W", 11471, H, 4800},
         {"Radio 12.5W", 11520, V, 2100},
         {"News 12.5W", 11604, H, 7200},
     }}},
    {"Hispasat 30W",
     {{
         {"Movistar+", 11851, V, 27500},
         {"TVE Intl", 12092, V, 27500},
         {"Hispasat 30", 12130, H, 27500},
         {"Portugal", 11805, V, 27500},
         {"RTP", 12012, H, 27500},
         {"TV Galicia", 11931, V, 27500},
         {"Telesur", 12169, H, 27500},
         {"Cuba TV", 12207, V, 27500},
     }}},
}};
// clang-format on

std::vector<jet::NewTable> ChannelTables(bool values) {
    using jet::ColumnType;
    using jet::Value;
    const auto text = [&](const char* s) { return values ? Value(*Utf8ToUtf16(s)) : Value(); };
    const auto number = [&](int n) { return values ? Value(std::int64_t{n}) : Value(); };
    const auto key = [](int n) { return Value(std::int64_t{n}); };

    jet::NewTable polTypes{"T_PolType",
                           {MakeColumn("ID", ColumnType::Integer, 2, true),
                            MakeColumn("Descr", ColumnType::Text, 2 * 16)},
                           {}};
    polTypes.rows = {{key(0), text("Horizontal")}, {key(1), text("Vertical")}};

    jet::NewTable satellites{"T_SatList",
                             {MakeColumn("ID", ColumnType::Integer, 2, true),
                              MakeColumn("Descr", ColumnType::Text, 2 * 16)},
                             {}};
    jet::NewTable transponders{"T_TPList",
                               {MakeColumn("SatID", ColumnType::Integer, 2, true),
                                MakeColumn("ID", ColumnType::Integer, 2, true),
                                MakeColumn("Descr", ColumnType::Text, 2 * 12),
                                MakeColumn("Frequency", ColumnType::Long, 4),
                                MakeColumn("Polarisation", ColumnType::Long, 4),
                                MakeColumn("SymbolRate", ColumnType::Long, 4)},
                               {}};
    for (int s = 0; s < static_cast<int>(kDefaultChannels.size()); ++s) {
        const DefaultSatellite& sat = kDefaultChannels[static_cast<std::size_t>(s)];
        satellites.rows.push_back({key(s + 1), text(sat.name)});
        for (int t = 0; t < static_cast<int>(sat.transponders.size()); ++t) {
            const DefaultTransponder& tp = sat.transponders[static_cast<std::size_t>(t)];
            transponders.rows.push_back({key(s + 1), key(t + 1), text(tp.name),
                                         number(tp.frequency), number(tp.polarisation),
                                         number(tp.symbolRate)});
        }
    }
    return {std::move(polTypes), std::move(satellites), std::move(transponders)};
}

} // namespace vorlek::store

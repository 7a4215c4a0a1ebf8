// "Shop.txt", the shop's tip texts: any text is read without fault; a file
// that is refused leaves every tip empty, and one that is taken holds no
// line that starts with '#' in any text, and, written back out in the
// file's form, reads again to the same texts.
#include "FuzzInput.h"
#include "engine/Log.h"
#include "shop/ShopItemTable.h"

#include <string>

using fuzz_input::Check;

namespace {

// The texts in the file's order, each closed by a '#' line.
std::string Written(const CShopItemTable& table, bool* roundTrips)
{
    std::string file = "Tips\n";
    *roundTrips = true;
    for (int item = 0; item < CShopItemTable::kItems; ++item)
        for (int entry = 0; entry < table.Entries(item); ++entry)
            for (int kind = 0; kind < CShopItemTable::kTextKinds; ++kind) {
                const std::string& text = table.Description(kind, item, entry);
                // A text cut inside a line longer than a piece ends without
                // a line end: its '#' line would join it.
                if (!text.empty() && text.back() != '\n')
                    *roundTrips = false;
                file += text + "#\n";
            }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    const std::string path = fuzz_input::Write("Shop.txt", data, size);
    CShopItemTable table;
    const bool taken = table.LoadDescriptions(path);
    for (int kind = 0; kind < CShopItemTable::kTextKinds; ++kind)
        for (int item = 0; item < CShopItemTable::kItems; ++item)
            for (int entry = 0; entry < table.Entries(item); ++entry) {
                const std::string& text = table.Description(kind, item, entry);
                Check(taken || text.empty());
                Check(text.empty() || text[0] != '#');
                for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
                    Check(at + 1 == text.size() || text[at + 1] != '#');
            }
    if (!taken)
        return 0;
    bool roundTrips = false;
    const std::string again = Written(table, &roundTrips);
    if (!roundTrips)
        return 0;
    const std::string copy =
        fuzz_input::Write("Shop2.txt", reinterpret_cast<const uint8_t*>(again.data()), again.size());
    CShopItemTable reread;
    Check(reread.LoadDescriptions(copy));
    for (int kind = 0; kind < CShopItemTable::kTextKinds; ++kind)
        for (int item = 0; item < CShopItemTable::kItems; ++item)
            for (int entry = 0; entry < table.Entries(item); ++entry)
                Check(reread.Description(kind, item, entry) == table.Description(kind, item, entry));
    return 0;
}

// The reader of "Shop.txt", the shop's tip texts: a first line that is not
// read, then, item after item and level entry after level entry (from -1 to
// the item's maximum), the three texts of the entry (the bar's, the
// pictures' or a full "+"'s, and a "+" that can buy). A text is the lines up
// to one that starts with '#'; its lines keep their line ends. The file is
// taken only when it holds exactly the texts of every entry.
#include "shop/ShopItemTable.h"

#include "engine/Log.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Lines come in pieces of at most 4095 characters: a longer line goes on in
// the next piece, and each piece counts as a line of its own.
class PieceReader {
public:
    explicit PieceReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool Next(std::string* piece)
    {
        if (m_at >= m_bytes.size())
            return false;
        constexpr size_t kPiece = 4095;
        size_t end = m_at;
        while (end < m_bytes.size() && end - m_at < kPiece && m_bytes[end] != '\n')
            ++end;
        if (end < m_bytes.size() && end - m_at < kPiece)
            ++end; // the line end belongs to the piece
        piece->assign(reinterpret_cast<const char*>(m_bytes.data()) + m_at, end - m_at);
        m_at = end;
        return true;
    }

private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_at = 0;
};

} // namespace

bool CShopItemTable::LoadDescriptions(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!plat::ReadWholeFile(path, &bytes)) {
        WriteLog("File");
        WriteLog(path);
        WriteLog("not found!\n");
        return false;
    }
    // Files written on another system may end their lines with "\r\n". The
    // whole file is read with plain line ends, so that one falling where a
    // long line is cut into pieces goes too; carriage returns that end a
    // line are no part of its text.
    size_t kept = 0;
    for (uint8_t byte : bytes) {
        if (byte == '\n')
            while (kept > 0 && bytes[kept - 1] == '\r')
                --kept;
        bytes[kept++] = byte;
    }
    bytes.resize(kept);
    PieceReader reader(bytes);
    // Read into a copy: a file with texts missing or too many would put
    // every tip after the fault on another item, so it is taken whole or
    // not at all.
    auto texts = descriptions;
    int expected = 0;
    for (int item = 0; item < kItems; ++item)
        expected += Entries(item) * kTextKinds;
    int read = 0;
    auto refuse = [&](const std::string& why) {
        WriteLog("Warning! " + path + " " + why + ": every tip stays empty\n");
        for (auto& table : descriptions)
            for (auto& entries : table)
                std::fill(entries.begin(), entries.end(), std::string());
        return false;
    };
    // A NUL byte is no part of a text: the file is damaged, and a text cut
    // at it would read back as another.
    if (std::find(bytes.begin(), bytes.end(), uint8_t{0}) != bytes.end())
        return refuse("holds a NUL byte");
    std::string piece;
    if (!reader.Next(&piece)) {
        WriteLog("Error loading description text\n");
        return refuse("is empty");
    }
    for (int item = 0; item < kItems; ++item)
        for (int entry = 0; entry < Entries(item); ++entry)
            for (auto& table : texts) {
                std::string text;
                for (;;) {
                    if (!reader.Next(&piece)) {
                        WriteLog("Error loading description text\n");
                        return refuse("holds " + std::to_string(read) + " of its " + std::to_string(expected) +
                                      " texts");
                    }
                    if (!piece.empty() && piece[0] == '#')
                        break;
                    text += piece;
                }
                table[static_cast<size_t>(item)][static_cast<size_t>(entry)] = std::move(text);
                ++read;
            }
    while (reader.Next(&piece))
        if (piece.find_first_not_of(" \t\r\n") != std::string::npos)
            return refuse("holds more than its " + std::to_string(expected) + " texts");
    descriptions = std::move(texts);
    return true;
}

#include "screens/TextFormat.h"

#include "engine/Log.h"
#include "engine/StringTable.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

bool FormatTakes(const std::string& format, const char* signature)
{
    std::string found;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && std::strchr("-+ #0", format[i]))
            ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
                ++i;
        }
        if (i >= format.size())
            return false;
        const char c = format[i];
        if (c == 'd' || c == 'i')
            found += 'd';
        else if (c == 's')
            found += 's';
        else
            return false; // lengths, '*' and every other conversion
    }
    return found == signature;
}

namespace {

// The text itself, with a log line, when its conversions do not fit.
bool Usable(int32_t id, const std::string& format, const char* signature)
{
    if (FormatTakes(format, signature))
        return true;
    WriteLog("Warning! String " + std::to_string(id) + " is not a format of the values it shows: " + format +
             "\n");
    return false;
}

// The conversions were checked against the arguments just above each call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename... Args>
std::string Fill(const std::string& format, size_t size, Args... args)
{
    std::vector<char> buffer(size > 0 ? size : 1);
    std::snprintf(buffer.data(), buffer.size(), format.c_str(), args...);
    return buffer.data();
}
#pragma GCC diagnostic pop

} // namespace

std::string FormatTableText(int32_t id, size_t size, int a)
{
    const std::string format = GetString(id);
    return Usable(id, format, "d") ? Fill(format, size, a) : format;
}

std::string FormatTableText(int32_t id, size_t size, int a, int b)
{
    const std::string format = GetString(id);
    return Usable(id, format, "dd") ? Fill(format, size, a, b) : format;
}

std::string FormatTableText(int32_t id, size_t size, const std::string& s)
{
    const std::string format = GetString(id);
    return Usable(id, format, "s") ? Fill(format, size, s.c_str()) : format;
}

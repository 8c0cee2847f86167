#include "core/app/BiText.h"

#include <vector>

#include "core/app/Globals.h"

const char* BiText::Pick() const { return In(g_bChinese != 0); }

std::string FillText(const BiText& text, bool chinese, std::initializer_list<std::string> args)
{
    const std::vector<std::string> values(args);
    const std::string pattern = text.In(chinese);
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '1');
        // Only the placeholders there are values for: a lone "%" stays as it is.
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n < values.size()) {
            out += values[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string JoinSentences(const std::string& first, const std::string& second, bool chinese)
{
    if (first.empty() || second.empty())
        return first + second;
    return first + (chinese ? "" : " ") + second;
}

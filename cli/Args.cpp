#include "cli/Args.h"

#include <cerrno>
#include <cstdlib>

#include "cli/Options.h"
#include "cli/Output.h"

namespace cli {

Args::Args(const std::vector<std::string>& argv, const std::string& command)
{
    const auto [withValue, flags] = OptionsOf(command);
    bool onlyPositional = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (onlyPositional || a.size() < 2 || a[0] != '-') {
            m_positional.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            m_values["--help"].push_back("");
        } else if (withValue.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= argv.size())
                    throw UsageError(Tr("option ", "选项 ") + name + Tr(" needs a value", " 需要一个值"));
                value = argv[++i];
            }
            m_values[name].push_back(value);
        } else if (flags.count(name)) {
            if (inlineValue)
                throw UsageError(Tr("option ", "选项 ") + name + Tr(" takes no value", " 不带值"));
            m_values[name].push_back("");
        } else {
            throw UsageError(Tr("unknown option ", "未知选项 ") + name);
        }
    }
}

std::string Args::Value(const std::string& opt, const std::string& def) const
{
    auto it = m_values.find(opt);
    return it == m_values.end() ? def : it->second.back();
}

const std::vector<std::string>& Args::Values(const std::string& opt) const
{
    static const std::vector<std::string> none;
    auto it = m_values.find(opt);
    return it == m_values.end() ? none : it->second;
}

void Args::RequirePositional(std::size_t n, const std::string& what) const
{
    if (m_positional.size() < n)
        throw UsageError(Tr("missing ", "缺少 ") + what);
    if (m_positional.size() > n)
        throw UsageError(Tr("unexpected argument \"", "多余的参数 \"") + m_positional[n] + "\"");
}

int Args::IntValue(const std::string& opt, int def, int lo, int hi) const
{
    if (!Has(opt))
        return def;
    const std::string v = Value(opt);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || errno != 0 || n < lo || n > hi)
        throw UsageError(Tr("option ", "选项 ") + opt + Tr(" needs a whole number from ", " 需要 ") +
                         std::to_string(lo) + Tr(" to ", " 到 ") + std::to_string(hi) +
                         Tr(", not \"", " 的整数, 而不是 \"") + v + "\"");
    return static_cast<int>(n);
}

}  // namespace cli

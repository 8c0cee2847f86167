#pragma once
// A command's command line, parsed by the options the command takes (cli/Options.h).
#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Thrown for a wrong command line; main prints it with the command's usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The command line of one command: the options the table gives it with a
// value take the next argument (or "--opt=value"); its flags take none.
// Options may be repeated; Value returns the last one. "--help"/"-h" is always
// a flag.
class Args {
public:
    Args(const std::vector<std::string>& argv, const std::string& command);

    bool Has(const std::string& opt) const { return m_values.count(opt) != 0; }
    std::string Value(const std::string& opt, const std::string& def = "") const;
    const std::vector<std::string>& Values(const std::string& opt) const;
    const std::vector<std::string>& Positional() const { return m_positional; }
    // Exactly n positional arguments, else a UsageError naming `what`.
    void RequirePositional(std::size_t n, const std::string& what) const;
    // An integer option in [lo, hi], else a UsageError.
    int IntValue(const std::string& opt, int def, int lo, int hi) const;

private:
    std::map<std::string, std::vector<std::string>> m_values;
    std::vector<std::string> m_positional;
};

}  // namespace cli

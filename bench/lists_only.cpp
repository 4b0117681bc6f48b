#include "lists_only.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace bench {

namespace {

// The library's own reading of a flag's value: a lone letter or digit
// other than 0, f or n is true, as is any longer word but false, no and
// off, and the empty value.
bool Truthy(std::string value) {
    if (value.size() == 1) {
        const char v = value[0];
        return std::isalnum(static_cast<unsigned char>(v)) && v != '0' && v != 'f' && v != 'F' && v != 'n' &&
               v != 'N';
    }
    std::transform(value.begin(), value.end(), value.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return value != "false" && value != "no" && value != "off";
}

}  // namespace

bool ListsOnly(int argc, char** argv) {
    const std::string flag = "--benchmark_list_tests";
    const char* env = std::getenv("BENCHMARK_LIST_TESTS");
    bool lists = env != nullptr && Truthy(env);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.compare(0, flag.size(), flag) != 0) continue;
        if (arg.size() == flag.size())
            lists = true;
        else if (arg[flag.size()] == '=')
            lists = Truthy(arg.substr(flag.size() + 1));
    }
    return lists;
}

}  // namespace bench

#include "name_choices.h"

#include <algorithm>
#include <cctype>

namespace host {
namespace {

std::string Lower(const std::string& s) {
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

int NameDistance(const std::string& a0, const std::string& b0) {
    const std::string a = Lower(a0);
    const std::string b = Lower(b0);
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    // d[i][j]: the distance between the first i characters of a and the first j of b, kept in
    // three rows (the one before the previous is needed for a swap).
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d = std::min(d, before[j - 2] + 1);
            }
            current[j] = d;
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

std::string NearestName(const std::string& name, const std::vector<std::string>& names) {
    std::string best;
    int bestDistance = 0;
    for (const std::string& candidate : names) {
        if (candidate == name) continue;
        const int d = NameDistance(name, candidate);
        const int longer = static_cast<int>(std::max(name.size(), candidate.size()));
        const int allowed = std::clamp(longer / 3, 1, 3);
        if (d > allowed) continue;
        if (best.empty() || d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

std::string NameChoices(const std::string& name, const std::vector<std::string>& names,
                        std::size_t listUpTo) {
    const std::string near = NearestName(name, names);
    if (!near.empty()) return "; did you mean " + near + "?";
    if (names.empty() || names.size() > listUpTo) return {};
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    return "; expected one of " + list;
}

}  // namespace host

#include "unit/CAlsoChanged.h"

#include "unit/CZemUnit.h"

void CAlsoChanged::Reset(CZemUnit& unit) {
    m_values = ReadConfigValues(unit);
    m_bValid = true;
}

std::vector<ConfigDifference> CAlsoChanged::Take(CZemUnit& unit) {
    ConfigValues now = ReadConfigValues(unit);
    std::vector<ConfigDifference> differences;
    if (m_bValid) differences = CompareConfigValues(m_values, now);
    m_values = std::move(now);
    m_bValid = true;
    return differences;
}

std::string CAlsoChanged::Summary(const std::vector<ConfigDifference>& differences, const std::string& sheet,
                                  std::vector<ConfigDifference>& others) {
    others.clear();
    std::vector<std::string> sheets;
    for (const ConfigDifference& d : differences) {
        if (d.sheet == sheet) continue;
        others.push_back(d);
        if (sheets.empty() || sheets.back() != d.sheet) sheets.push_back(d.sheet);
    }
    if (others.empty()) return {};
    std::string names;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) names += i + 1 == sheets.size() ? " and " : ", ";
        names += sheets[i];
    }
    return "Also changed: " + std::to_string(others.size()) + (others.size() == 1 ? " cell" : " cells") +
           " on " + names;
}

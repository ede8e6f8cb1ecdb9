// The resource script as text: every language block has the same strings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::filesystem::path kAppFolder = APP_SOURCE_DIR;

// The script's lines with its #include "..." files read in their place.
void AppendLines(const std::filesystem::path& file, std::vector<std::string>& lines)
{
    std::ifstream script(file);
    static const std::regex include(R"re(^#include\s+"([^"]+)")re");
    for (std::string line; std::getline(script, line);) {
        std::smatch match;
        if (std::regex_search(line, match, include) && std::filesystem::exists(kAppFolder / match[1].str()))
            AppendLines(kAppFolder / match[1].str(), lines);
        else
            lines.push_back(line);
    }
}

// The string ids of each LANGUAGE block.
std::map<std::string, std::set<std::string>> StringIdsByLanguage()
{
    std::vector<std::string> lines;
    AppendLines(kAppFolder / "update.rc", lines);
    std::map<std::string, std::set<std::string>> ids;
    std::string language;
    bool inTable = false;
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "LANGUAGE")
            std::getline(words, language);
        else if (first == "STRINGTABLE")
            inTable = true;
        else if (inTable && first == "END")
            inTable = false;
        else if (inTable && first.rfind("IDS_", 0) == 0)
            ids[language].insert(first);
    }
    return ids;
}

// Every IDS_ name that resource.h defines.
std::set<std::string> DefinedStringIds()
{
    std::ifstream header(kAppFolder / "resource.h");
    std::set<std::string> ids;
    for (std::string line; std::getline(header, line);) {
        std::istringstream words(line);
        std::string directive, name;
        if (words >> directive >> name && directive == "#define" && name.rfind("IDS_", 0) == 0)
            ids.insert(name);
    }
    return ids;
}

}  // namespace

TEST(StringTable, EveryLanguageBlockHoldsEveryString)
{
    const auto ids = StringIdsByLanguage();
    ASSERT_EQ(ids.size(), 3u);
    const std::set<std::string> defined = DefinedStringIds();
    EXPECT_EQ(defined.size(), 17u);  // 101 to 112, the engine's refusals, the reason shutting down waits, and the
                                     // unexpected failure
    for (const auto& [language, languageIds] : ids)
        EXPECT_EQ(languageIds, defined) << language;
}

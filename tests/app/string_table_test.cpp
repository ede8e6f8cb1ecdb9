// The string tables as the resource compiler wrote them into each
// configuration of Update.exe, read back from the program file under Wine:
// every language block holds exactly the catalogue's messages under their
// numbers, with the catalogue's texts (the German block the English ones).
#include "messages/catalogue.h"
#include "string_table_ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace {

constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

std::wstring Wide(std::string_view utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

// The program file's resources, loaded as data.
class ProgramResources {
public:
    explicit ProgramResources(const wchar_t* program)
        : m_module(LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~ProgramResources()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    bool Loaded() const { return m_module != nullptr; }

    // Every string of every block, by its number, for each language that
    // some block is written in.
    std::map<WORD, std::map<unsigned, std::wstring>> StringsByLanguage() const
    {
        std::map<WORD, std::map<unsigned, std::wstring>> strings;
        for (const WORD block : Blocks()) {
            for (const WORD language : LanguagesOf(block))
                ReadBlock(block, language, strings[language]);
        }
        return strings;
    }

private:
    static BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks)
    {
        reinterpret_cast<std::set<WORD>*>(blocks)->insert(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
    }

    static BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages)
    {
        reinterpret_cast<std::set<WORD>*>(languages)->insert(language);
        return TRUE;
    }

    std::set<WORD> Blocks() const
    {
        std::set<WORD> blocks;
        EnumResourceNamesW(m_module, RT_STRING, AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
        return blocks;
    }

    std::set<WORD> LanguagesOf(WORD block) const
    {
        std::set<WORD> languages;
        EnumResourceLanguagesW(m_module, RT_STRING, MAKEINTRESOURCEW(block), AddLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    // A block holds strings 16 * (block - 1) to 16 * block - 1, each its
    // length and its characters; an absent string has length 0.
    void ReadBlock(WORD block, WORD language, std::map<unsigned, std::wstring>& strings) const
    {
        const HRSRC resource = FindResourceExW(m_module, RT_STRING, MAKEINTRESOURCEW(block), language);
        const auto* data = static_cast<const WCHAR*>(LockResource(LoadResource(m_module, resource)));
        const DWORD size = SizeofResource(m_module, resource) / sizeof(WCHAR);
        DWORD at = 0;
        for (unsigned i = 0; i < 16 && at < size; ++i) {
            const WORD length = data[at++];
            if (length > 0)
                strings[(block - 1u) * 16 + i] = std::wstring(data + at, length);
            at += length;
        }
    }

    HMODULE m_module;
};

// What a language block must hold in `configuration`.
std::map<unsigned, std::wstring> Expected(Language language, Configuration configuration)
{
    std::map<unsigned, std::wstring> strings;
    for (const StringTableEntry& entry : kStringTable)
        strings[entry.number] = Wide(MessageText(entry.message, language, configuration));
    return strings;
}

struct ProgramCase {
    const char* name;
    const wchar_t* program;
    Configuration configuration;
};

void PrintTo(const ProgramCase& program, std::ostream* out)
{
    *out << program.name;
}

class StringTable : public testing::TestWithParam<ProgramCase> {};

}  // namespace

TEST_P(StringTable, EveryLanguageBlockHoldsTheCataloguesTexts)
{
    const ProgramResources resources(GetParam().program);
    ASSERT_TRUE(resources.Loaded());
    const auto strings = resources.StringsByLanguage();
    const Configuration configuration = GetParam().configuration;
    EXPECT_EQ(strings, (std::map<WORD, std::map<unsigned, std::wstring>>{
                           {kEnglish, Expected(Language::English, configuration)},
                           {kGerman, Expected(Language::English, configuration)},
                           {kJapanese, Expected(Language::Japanese, configuration)},
                       }));
}

// Two texts that the configurations tell apart, as the window shows them.
TEST(StringTable, NamesEachConfigurationsAdapters)
{
    const auto current = ProgramResources(UPDATE_PROGRAM).StringsByLanguage();
    const auto firstGeneration = ProgramResources(UPDATE_PROGRAM_FIRST_GENERATION).StringsByLanguage();
    EXPECT_EQ(current.at(kEnglish).at(105), L"A Kestro-2/3 is not connected.");
    EXPECT_EQ(firstGeneration.at(kEnglish).at(105), L"A Kestro-2 is not connected.");
    EXPECT_EQ(current.at(kJapanese).at(107), L"Kestro-2/3のデバイスドライバが見つかりません");
    EXPECT_EQ(firstGeneration.at(kJapanese).at(107), L"Kestro-2のデバイスドライバが見つかりません");
}

INSTANTIATE_TEST_SUITE_P(Configurations, StringTable,
                         testing::Values(ProgramCase{"Current", UPDATE_PROGRAM, Configuration::Current},
                                         ProgramCase{"FirstGeneration", UPDATE_PROGRAM_FIRST_GENERATION,
                                                     Configuration::FirstGeneration}),
                         [](const auto& info) { return std::string(info.param.name); });

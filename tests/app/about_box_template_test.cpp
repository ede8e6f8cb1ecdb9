// The About box's template as the resource compiler wrote it into each
// configuration of Update.exe, read back from the program file under Wine.
#include "app/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// One control of an extended dialog template.
struct TemplateItem {
    DWORD style = 0;
    short width = 0;
    short height = 0;
    std::optional<WORD> classOrdinal;  // 0x0082 for Static, or a name:
    std::wstring className;
    std::wstring title;
    std::optional<WORD> titleOrdinal;  // a resource id in place of a title
};

// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX
// items), which holds its variable-length fields back to back.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_data(data) {}

    std::vector<TemplateItem> Items()
    {
        Skip(2 * sizeof(WORD) + 2 * sizeof(DWORD));  // version, signature, help id, extended style
        const DWORD style = Read<DWORD>();
        const WORD count = Read<WORD>();
        Skip(4 * sizeof(short));  // x, y, cx, cy
        SkipNameOrOrdinal();      // menu
        SkipNameOrOrdinal();      // class
        ReadString();             // title
        if (style & DS_SETFONT) {
            Skip(2 * sizeof(WORD) + 2 * sizeof(BYTE));  // point size, weight, italic, character set
            ReadString();                               // typeface
        }
        std::vector<TemplateItem> items;
        for (WORD i = 0; i < count; ++i) {
            Align(sizeof(DWORD));
            TemplateItem item;
            Skip(2 * sizeof(DWORD));  // help id, extended style
            item.style = Read<DWORD>();
            Skip(2 * sizeof(short));  // x, y
            item.width = Read<short>();
            item.height = Read<short>();
            Skip(sizeof(DWORD));  // id
            item.classOrdinal = ReadNameOrOrdinal(&item.className);
            item.titleOrdinal = ReadNameOrOrdinal(&item.title);
            Skip(Read<WORD>());  // creation data
            items.push_back(item);
        }
        return items;
    }

private:
    template <typename Value>
    Value Read()
    {
        Value value;
        std::memcpy(&value, m_data + m_offset, sizeof value);
        m_offset += sizeof value;
        return value;
    }

    void Skip(std::size_t bytes) { m_offset += bytes; }
    void Align(std::size_t boundary) { m_offset = (m_offset + boundary - 1) / boundary * boundary; }

    std::wstring ReadString()
    {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); c != L'\0'; c = Read<wchar_t>())
            text += c;
        return text;
    }

    // 0xFFFF and an ordinal, or a string (which goes to `name`, if given).
    std::optional<WORD> ReadNameOrOrdinal(std::wstring* name)
    {
        if (*reinterpret_cast<const WORD*>(m_data + m_offset) == 0xFFFF) {
            Skip(sizeof(WORD));
            return Read<WORD>();
        }
        const std::wstring text = ReadString();
        if (name != nullptr)
            *name = text;
        return std::nullopt;
    }

    void SkipNameOrOrdinal() { ReadNameOrOrdinal(nullptr); }

    const BYTE* m_data;
    std::size_t m_offset = 0;
};

constexpr WORD kStaticClass = 0x0082;

std::vector<TemplateItem> AboutBoxItems(const wchar_t* program)
{
    const HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr) << "cannot load " << program;
    if (module == nullptr)
        return {};
    std::vector<TemplateItem> items;
    if (const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDD_ABOUTBOX), RT_DIALOG)) {
        if (const HGLOBAL loaded = LoadResource(module, found))
            items = TemplateReader(static_cast<const BYTE*>(LockResource(loaded))).Items();
    }
    FreeLibrary(module);
    return items;
}

class AboutBoxTemplate : public testing::TestWithParam<const wchar_t*> {};

}  // namespace

TEST_P(AboutBoxTemplate, KeepsTheVersionLineGroupAndTheIconSize)
{
    const std::vector<TemplateItem> items = AboutBoxItems(GetParam());
    ASSERT_EQ(items.size(), 4u);

    const TemplateItem& icon = items[0];
    EXPECT_TRUE(icon.classOrdinal == kStaticClass || _wcsicmp(icon.className.c_str(), L"Static") == 0);
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.titleOrdinal, IDR_MAINFRAME);
    EXPECT_EQ(icon.width, 20);
    EXPECT_EQ(icon.height, 20);

    const TemplateItem& version = items[1];
    EXPECT_EQ(version.title, L"Update Version 1.0");
    EXPECT_EQ(version.style, 0x50020080u);  // child, visible, group, left text without prefix
}

INSTANTIATE_TEST_SUITE_P(Configurations, AboutBoxTemplate,
                         testing::Values(UPDATE_PROGRAM, UPDATE_PROGRAM_FIRST_GENERATION));

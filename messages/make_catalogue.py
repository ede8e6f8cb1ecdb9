"""Makes the catalogue's C++ from its language files: message_id.h (the ids
and the languages) and catalogue_texts.inc (every text, and every id's name).

Usage: make_catalogue.py OUTPUT_FOLDER REFERENCE.toml [LANGUAGE.toml ...]"""

import sys
from pathlib import Path

from catalogue import CONFIGURATIONS, camel_case, cpp_string, read_catalogue

GENERATED = "// Made by messages/make_catalogue.py from the catalogue's language files.\n"


def write_if_changed(path, text):
    # An unchanged file keeps its time, so that nothing is rebuilt for it.
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")


def message_id_header(languages):
    ids = "".join(f"    {message_id},\n" for message_id in languages[0].texts)
    names = "".join(f"    {language.name},\n" for language in languages)
    return (GENERATED + "#pragma once\n\n#include <cstddef>\n\n"
            "// Every message of both programs, in the order of the reference catalogue.\n"
            f"enum class MessageId : unsigned {{\n{ids}}};\n"
            f"inline constexpr std::size_t kMessageCount = {len(languages[0].texts)};\n\n"
            "// The catalogue's languages, the reference first.\n"
            f"enum class Language : unsigned {{\n{names}}};\n"
            f"inline constexpr std::size_t kLanguageCount = {len(languages)};\n")


def texts_include(languages):
    lines = [GENERATED, "// Included by catalogue.cpp, which declares the types.\n\n",
             "constexpr MessageTexts kTexts[kLanguageCount][kMessageCount] = {\n"]
    for language in languages:
        lines.append(f"    {{  // {language.name}\n")
        for message_id, texts in language.texts.items():
            variants = ", ".join(cpp_string(texts[configuration]) for configuration in CONFIGURATIONS)
            lines.append(f"        {{{variants}}},  // {message_id}\n")
        lines.append("    },\n")
    lines.append("};\n\nconstexpr const char* kMessageNames[kMessageCount] = {\n")
    lines.extend(f"    {cpp_string(message_id)},\n" for message_id in languages[0].texts)
    lines.append("};\n\nconstexpr LanguageCode kLocaleCodes[] = {\n")
    for language in languages:
        for code in language.locales:
            lines.append(f"    {{Language::{language.name}, {cpp_string(code)}}},\n")
    lines.append("};\n\nconstexpr WindowsLanguage kWindowsLanguages[] = {\n")
    for language in languages:
        for primary in language.windows_primary_languages:
            lines.append(f"    {{Language::{language.name}, 0x{primary:02X}}},\n")
    lines.append("};\n")
    return "".join(lines)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    output = Path(sys.argv[1])
    languages = read_catalogue(sys.argv[2:])
    output.mkdir(parents=True, exist_ok=True)
    configurations = ", ".join(f"Configuration::{camel_case(name)}" for name in CONFIGURATIONS)
    write_if_changed(output / "message_id.h", message_id_header(languages))
    write_if_changed(output / "catalogue_texts.inc",
                     texts_include(languages) + f"\n// The order of each entry's texts.\n"
                     f"constexpr Configuration kConfigurations[] = {{{configurations}}};\n")


if __name__ == "__main__":
    main()

"""Makes the window program's string table for one configuration from
string_table.txt and the message catalogue: string_table_<language>.rc2 for
each language file <language>.toml, which the resource script includes in its language blocks,
and string_table_ids.h, the number of each message for the C++ sources.

Usage: make_string_table.py CONFIGURATION STRING_TABLE.txt OUTPUT_FOLDER REFERENCE.toml [LANGUAGE.toml ...]"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "messages"))
from catalogue import CONFIGURATIONS, read_catalogue  # noqa: E402

GENERATED = "made by app/make_string_table.py from app/string_table.txt and the message catalogue"


def read_table(path, known_ids):
    entries = []
    for number, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        if len(words) != 2 or not words[0].isdigit() or words[1] not in known_ids:
            sys.exit(f"{path}:{number}: a string number and a message of the catalogue")
        entries.append((int(words[0]), words[1]))
    return entries


def rc_string(text):
    """A resource script string: a quote inside doubles itself."""
    return '"' + text.replace('"', '""') + '"'


def write_if_changed(path, text):
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")


def main():
    if len(sys.argv) < 5 or sys.argv[1] not in CONFIGURATIONS:
        sys.exit(__doc__)
    configuration, table_path, output = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    languages = read_catalogue(sys.argv[4:])
    entries = read_table(table_path, languages[0].texts)
    output.mkdir(parents=True, exist_ok=True)
    for path, language in zip(sys.argv[4:], languages):
        rows = "".join(f"    {number} {rc_string(language.texts[message_id][configuration])}\n"
                       for number, message_id in entries)
        write_if_changed(output / f"string_table_{Path(path).stem}.rc2",
                         f"// The {language.name} string table, {configuration} configuration: {GENERATED}.\n"
                         f"STRINGTABLE\nBEGIN\n{rows}END\n")
    ids = "".join(f"    {{{number}, MessageId::{message_id}}},\n" for number, message_id in entries)
    write_if_changed(output / "string_table_ids.h",
                     f"// The number of each message in the string table: {GENERATED}.\n"
                     "#pragma once\n\n#include \"messages/message_id.h\"\n\n"
                     "struct StringTableEntry {\n    unsigned number;\n    MessageId message;\n};\n\n"
                     f"inline constexpr StringTableEntry kStringTable[] = {{\n{ids}}};\n")


if __name__ == "__main__":
    main()

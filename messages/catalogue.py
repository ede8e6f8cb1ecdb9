"""Reads the message catalogue: one TOML file per language, the reference
(English) first. Every file holds the reference's ids and no other; a text is
one string, or a table with one string per configuration."""

import sys
import tomllib
from dataclasses import dataclass
from pathlib import Path

CONFIGURATIONS = ("current", "first-generation")


@dataclass
class Language:
    name: str
    locales: list[str]
    windows_primary_languages: list[int]
    # id -> configuration -> text
    texts: dict[str, dict[str, str]]


def fail(path, message):
    sys.exit(f"{path}: {message}")


def texts_by_configuration(path, message_id, value):
    if isinstance(value, str):
        return {configuration: value for configuration in CONFIGURATIONS}
    if isinstance(value, dict) and sorted(value) == sorted(CONFIGURATIONS) \
            and all(isinstance(text, str) for text in value.values()):
        return dict(value)
    fail(path, f"{message_id}: a text, or one for each of {', '.join(CONFIGURATIONS)}")


def read_language(path):
    with open(path, "rb") as file:
        try:
            document = tomllib.load(file)
        except tomllib.TOMLDecodeError as error:
            fail(path, error)
    about = document.get("language", {})
    for key, kind in (("name", str), ("locales", list), ("windows-primary-languages", list)):
        if not isinstance(about.get(key), kind):
            fail(path, f"[language] needs {key}")
    messages = document.get("messages", {})
    return Language(
        name=about["name"],
        locales=about["locales"],
        windows_primary_languages=about["windows-primary-languages"],
        texts={message_id: texts_by_configuration(path, message_id, value)
               for message_id, value in messages.items()})


def read_catalogue(paths):
    """The languages of `paths`, the first being the reference."""
    languages = [read_language(Path(path)) for path in paths]
    reference = list(languages[0].texts)
    for path, language in zip(paths, languages):
        missing = [message_id for message_id in reference if message_id not in language.texts]
        extra = [message_id for message_id in language.texts if message_id not in reference]
        if missing or extra:
            fail(path, f"missing {missing or 'nothing'}, not in {paths[0]}: {extra or 'nothing'}")
        # Every text in the reference's order.
        language.texts = {message_id: language.texts[message_id] for message_id in reference}
    return languages


def camel_case(name):
    """"first-generation" -> "FirstGeneration"."""
    return "".join(part.capitalize() for part in name.split("-"))


def cpp_string(text):
    """A C++ string literal of `text`, in UTF-8 as it stands."""
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

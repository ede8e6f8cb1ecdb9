// The message catalogue: every message in every language, and in each
// configuration where the two differ, as the user reads it.
#include "messages/catalogue.h"
#include "tests/support/param_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace {

struct TextCase {
    const char* name;
    MessageId message;
    Language language;
    Configuration configuration;
    std::string_view text;
};

void PrintTo(const TextCase& text, std::ostream* out)
{
    *out << text.name;
}

}  // namespace

class CatalogueText : public testing::TestWithParam<TextCase> {};

TEST_P(CatalogueText, IsTheMessagesTextInItsLanguage)
{
    EXPECT_EQ(MessageText(GetParam().message, GetParam().language, GetParam().configuration), GetParam().text);
}

// A text that is the same in both configurations is asked for in the
// current one; the other gives the same.
INSTANTIATE_TEST_SUITE_P(
    Messages, CatalogueText,
    testing::Values(
        TextCase{"AboutBoxEnglish", MessageId::AboutBox, Language::English, Configuration::Current, "Version information Tavrel Update(&A)..."},
        TextCase{"ConfirmEnglish", MessageId::Confirm, Language::English, Configuration::Current, " will be updated. Are you sure?"},
        TextCase{"WritingEnglish", MessageId::Writing, Language::English, Configuration::Current, "Now writing..."},
        TextCase{"SucceededEnglish", MessageId::Succeeded, Language::English, Configuration::Current, "This update succeeded."},
        TextCase{"NoAdapterEnglish", MessageId::NoAdapter, Language::English, Configuration::Current, "A Kestro-2/3 is not connected."},
        TextCase{"NoAdapterEnglishFirstGeneration", MessageId::NoAdapter, Language::English, Configuration::FirstGeneration,
                 "A Kestro-2 is not connected."},
        TextCase{"NoProductEnglish", MessageId::NoProduct, Language::English, Configuration::Current, "No product is connected."},
        TextCase{"NoDriverEnglish", MessageId::NoDriver, Language::English, Configuration::Current, "The device driver for Kestro-2/3 is not installed."},
        TextCase{"NoDriverEnglishFirstGeneration", MessageId::NoDriver, Language::English, Configuration::FirstGeneration,
                 "The device driver for Kestro-2 is not installed."},
        TextCase{"WriteErrorEnglish", MessageId::WriteError, Language::English, Configuration::Current, "A writing error occured. Retry the update."},
        TextCase{"NoUpdateFileEnglish", MessageId::NoUpdateFile, Language::English, Configuration::Current, "There is not a update file."},
        TextCase{"ProductMismatchEnglish", MessageId::ProductMismatch, Language::English, Configuration::Current, "This connected product does not match the update file."},
        TextCase{"ErrorEnglish", MessageId::Error, Language::English, Configuration::Current, "Error"},
        TextCase{"FailedEnglish", MessageId::Failed, Language::English, Configuration::Current, "Failed"},
        TextCase{"FileTooShortEnglish", MessageId::FileTooShort, Language::English, Configuration::Current, "The update file is too short to hold an update."},
        TextCase{"FileTooLargeEnglish", MessageId::FileTooLarge, Language::English, Configuration::Current, "The update file is larger than an update can be."},
        TextCase{"FileReadErrorEnglish", MessageId::FileReadError, Language::English, Configuration::Current, "The update file could not be read. Retry the update."},
        TextCase{"UpdateInProgressEnglish", MessageId::UpdateInProgress, Language::English, Configuration::Current, "The product is being updated. Turned off now, it will need the update again."},
        TextCase{"UnexpectedFailureEnglish", MessageId::UnexpectedFailure, Language::English, Configuration::Current, "An unexpected error occurred. If the product was being updated, retry the update."},
        TextCase{"UpdateCaptionEnglish", MessageId::UpdateCaption, Language::English, Configuration::Current, "Update"},
        TextCase{"QuestionEnglish", MessageId::Question, Language::English, Configuration::Current, "Update product {1}? [y/N] "},
        TextCase{"NoOneToAskEnglish", MessageId::NoOneToAsk, Language::English, Configuration::Current, "update-cli: standard input is not a terminal to ask on; nothing was sent. Give --yes to write without asking."},
        TextCase{"DeclinedEnglish", MessageId::Declined, Language::English, Configuration::Current, "Not updated: nothing was sent."},
        TextCase{"AbandonedEnglish", MessageId::Abandoned, Language::English, Configuration::Current, "The update was abandoned. The product needs a new update."},
        TextCase{"FirstInterruptionEnglish", MessageId::FirstInterruption, Language::English, Configuration::Current, "An update is being written. Press Ctrl-C again to abandon it; the product then needs a new update."},
        TextCase{"SecondInterruptionEnglish", MessageId::SecondInterruption, Language::English, Configuration::Current, "Abandoning the update after the current exchange."},
        TextCase{"InfoProductEnglish", MessageId::InfoProduct, Language::English, Configuration::Current, "product: {1}"},
        TextCase{"InfoPayloadEnglish", MessageId::InfoPayload, Language::English, Configuration::Current, "payload: {1} bytes"},
        TextCase{"InfoBlocksEnglish", MessageId::InfoBlocks, Language::English, Configuration::Current, "blocks: {1}"},
        TextCase{"InfoTimeEnglish", MessageId::InfoTime, Language::English, Configuration::Current, "time at {1} bit/s: {2}"},
        TextCase{"DurationHoursEnglish", MessageId::DurationHours, Language::English, Configuration::Current, "{1} h "},
        TextCase{"DurationMinutesEnglish", MessageId::DurationMinutes, Language::English, Configuration::Current, "{1} min "},
        TextCase{"DurationSecondsEnglish", MessageId::DurationSeconds, Language::English, Configuration::Current, "{1} s"},
        TextCase{"ProgressBlocksEnglish", MessageId::ProgressBlocks, Language::English, Configuration::Current, "{1}/{2} blocks"},
        TextCase{"ProgressTimeLeftEnglish", MessageId::ProgressTimeLeft, Language::English, Configuration::Current, "{1} left"},
        TextCase{"ProgressLineEnglish", MessageId::ProgressLine, Language::English, Configuration::Current, "{1}/{2} blocks, {3}%"},
        TextCase{"ProgressOpeningEnglish", MessageId::ProgressOpening, Language::English, Configuration::Current, "opening"},
        TextCase{"ProgressNothingSentEnglish", MessageId::ProgressNothingSent, Language::English, Configuration::Current, "nothing sent"},
        TextCase{"AboutBoxJapanese", MessageId::AboutBox, Language::Japanese, Configuration::Current, "バージョン情報 Tavrel Update(&A)..."},
        TextCase{"ConfirmJapanese", MessageId::Confirm, Language::Japanese, Configuration::Current, "をアップデートします。よろしいですか?"},
        TextCase{"WritingJapanese", MessageId::Writing, Language::Japanese, Configuration::Current, "書き込み中です..."},
        TextCase{"SucceededJapanese", MessageId::Succeeded, Language::Japanese, Configuration::Current, "書き込みが終了しました。"},
        TextCase{"NoAdapterJapanese", MessageId::NoAdapter, Language::Japanese, Configuration::Current, "Kestro-2/3が接続されていません。"},
        TextCase{"NoAdapterJapaneseFirstGeneration", MessageId::NoAdapter, Language::Japanese, Configuration::FirstGeneration,
                 "Kestro-2が接続されていません。"},
        TextCase{"NoProductJapanese", MessageId::NoProduct, Language::Japanese, Configuration::Current, "アップデートする製品が接続されていません"},
        TextCase{"NoDriverJapanese", MessageId::NoDriver, Language::Japanese, Configuration::Current, "Kestro-2/3のデバイスドライバが見つかりません"},
        TextCase{"NoDriverJapaneseFirstGeneration", MessageId::NoDriver, Language::Japanese, Configuration::FirstGeneration,
                 "Kestro-2のデバイスドライバが見つかりません"},
        TextCase{"WriteErrorJapanese", MessageId::WriteError, Language::Japanese, Configuration::Current, "アップデートに失敗しました。製品の電源を入れなおして再度アップデートを行ってください。"},
        TextCase{"NoUpdateFileJapanese", MessageId::NoUpdateFile, Language::Japanese, Configuration::Current, "アップデートファイルが見つかりません。"},
        TextCase{"ProductMismatchJapanese", MessageId::ProductMismatch, Language::Japanese, Configuration::Current, "接続された製品はアップデート対象製品ではありません"},
        TextCase{"ErrorJapanese", MessageId::Error, Language::Japanese, Configuration::Current, "エラー"},
        TextCase{"FailedJapanese", MessageId::Failed, Language::Japanese, Configuration::Current, "Failed"},
        TextCase{"FileTooShortJapanese", MessageId::FileTooShort, Language::Japanese, Configuration::Current, "アップデートファイルが短すぎます。"},
        TextCase{"FileTooLargeJapanese", MessageId::FileTooLarge, Language::Japanese, Configuration::Current, "アップデートファイルが大きすぎます。"},
        TextCase{"FileReadErrorJapanese", MessageId::FileReadError, Language::Japanese, Configuration::Current, "アップデートファイルを読み込めませんでした。再度アップデートを行ってください。"},
        TextCase{"UpdateInProgressJapanese", MessageId::UpdateInProgress, Language::Japanese, Configuration::Current, "製品をアップデート中です。今電源を切ると、再度アップデートが必要になります。"},
        TextCase{"UnexpectedFailureJapanese", MessageId::UnexpectedFailure, Language::Japanese, Configuration::Current, "予期しないエラーが発生しました。アップデート中だった場合は、再度アップデートを行ってください。"},
        TextCase{"UpdateCaptionJapanese", MessageId::UpdateCaption, Language::Japanese, Configuration::Current, "Update"},
        TextCase{"QuestionJapanese", MessageId::Question, Language::Japanese, Configuration::Current, "製品 {1} をアップデートしますか? [y/N] "},
        TextCase{"NoOneToAskJapanese", MessageId::NoOneToAsk, Language::Japanese, Configuration::Current, "update-cli: 標準入力が端末ではないため確認できません。何も送信していません。確認せずに書き込むには --yes を指定してください。"},
        TextCase{"DeclinedJapanese", MessageId::Declined, Language::Japanese, Configuration::Current, "アップデートしませんでした。何も送信していません。"},
        TextCase{"AbandonedJapanese", MessageId::Abandoned, Language::Japanese, Configuration::Current, "アップデートを中止しました。製品には再度アップデートが必要です。"},
        TextCase{"FirstInterruptionJapanese", MessageId::FirstInterruption, Language::Japanese, Configuration::Current, "アップデートを書き込み中です。もう一度 Ctrl-C を押すと中止します。その場合、製品には再度アップデートが必要です。"},
        TextCase{"SecondInterruptionJapanese", MessageId::SecondInterruption, Language::Japanese, Configuration::Current, "現在の通信が終わったところでアップデートを中止します。"},
        TextCase{"InfoProductJapanese", MessageId::InfoProduct, Language::Japanese, Configuration::Current, "製品: {1}"},
        TextCase{"InfoPayloadJapanese", MessageId::InfoPayload, Language::Japanese, Configuration::Current, "データ: {1} バイト"},
        TextCase{"InfoBlocksJapanese", MessageId::InfoBlocks, Language::Japanese, Configuration::Current, "ブロック数: {1}"},
        TextCase{"InfoTimeJapanese", MessageId::InfoTime, Language::Japanese, Configuration::Current, "{1} bit/s での所要時間: {2}"},
        TextCase{"DurationHoursJapanese", MessageId::DurationHours, Language::Japanese, Configuration::Current, "{1}時間"},
        TextCase{"DurationMinutesJapanese", MessageId::DurationMinutes, Language::Japanese, Configuration::Current, "{1}分"},
        TextCase{"DurationSecondsJapanese", MessageId::DurationSeconds, Language::Japanese, Configuration::Current, "{1}秒"},
        TextCase{"ProgressBlocksJapanese", MessageId::ProgressBlocks, Language::Japanese, Configuration::Current, "{1}/{2} ブロック"},
        TextCase{"ProgressTimeLeftJapanese", MessageId::ProgressTimeLeft, Language::Japanese, Configuration::Current, "残り {1}"},
        TextCase{"ProgressLineJapanese", MessageId::ProgressLine, Language::Japanese, Configuration::Current, "{1}/{2} ブロック、{3}%"},
        TextCase{"ProgressOpeningJapanese", MessageId::ProgressOpening, Language::Japanese, Configuration::Current, "接続中"},
        TextCase{"ProgressNothingSentJapanese", MessageId::ProgressNothingSent, Language::Japanese, Configuration::Current, "送信なし"}),
    ParamName<TextCase>);

TEST(Catalogue, TextsTheConfigurationsShareAreTheSameInBoth)
{
    for (unsigned message = 0; message < kMessageCount; ++message) {
        const auto id = static_cast<MessageId>(message);
        if (id == MessageId::NoAdapter || id == MessageId::NoDriver)
            continue;
        for (const Language language : {Language::English, Language::Japanese})
            EXPECT_EQ(MessageText(id, language, Configuration::Current),
                      MessageText(id, language, Configuration::FirstGeneration))
                << message;
    }
}

TEST(Catalogue, ServesLocalesAndWindowsLanguages)
{
    EXPECT_EQ(LanguageOfLocaleCode("ja"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocaleCode("ja_JP.UTF-8"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocaleCode("en_GB"), Language::English);
    // German is served with the English texts, as in the window's German block.
    EXPECT_EQ(LanguageOfLocaleCode("de_AT@euro"), Language::English);
    EXPECT_EQ(LanguageOfLocaleCode("fr_FR"), std::nullopt);
    EXPECT_EQ(LanguageOfLocaleCode(""), std::nullopt);
    EXPECT_EQ(LanguageOfLocaleCode("jav"), std::nullopt);

    EXPECT_EQ(LanguageOfWindowsPrimaryLanguage(0x11), Language::Japanese);
    EXPECT_EQ(LanguageOfWindowsPrimaryLanguage(0x09), Language::English);
    EXPECT_EQ(LanguageOfWindowsPrimaryLanguage(0x07), Language::English);
    EXPECT_EQ(LanguageOfWindowsPrimaryLanguage(0x0C), std::nullopt);
}

TEST(Catalogue, FillsNumberedBlanksInAnyOrder)
{
    EXPECT_EQ(FillIn("Update product {1}? [y/N] ", {"KX200-01"}), "Update product KX200-01? [y/N] ");
    EXPECT_EQ(FillIn("{2} before {1}, {1} again", {"one", "two"}), "two before one, one again");
    // A value is never read for blanks of its own.
    EXPECT_EQ(FillIn("{1}{2}", {"{2}", "x"}), "{2}x");
    // What is not a blank with a value stays.
    EXPECT_EQ(FillIn("{3} {0} {x} {1", {"a", "b"}), "{3} {0} {x} {1");
    EXPECT_EQ(FillIn("no blanks", {}), "no blanks");
}

// The result table: lookups with their fallbacks, the language choice and the exact texts of
// every language.
#include "results/result_table.h"
#include "results/result_texts.h"

#include "utf16.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace SMTPClientNS;
using testsupport::Utf8;

const char kGeneral[] = "A general error occurred";

std::string Text(const ResultTable& table, int source) {
    return Utf8(FindResult(table, source).message);
}

TEST(ResultTable, MapsSourcesToCodesAndFallsBackToTheGeneralError) {
    const ResultTable table = BuildResultTable(LANGUAGE_ENGLISH);

    EXPECT_EQ(1, FindResult(table, 0).code);
    EXPECT_EQ("", Text(table, 0));
    EXPECT_EQ(-1, FindResult(table, 100).code);
    EXPECT_EQ(kGeneral, Text(table, 100));

    // libcurl's CURLE_PROXY: the SOCKS proxy refused the login or could not reach the server.
    EXPECT_EQ(-2, FindResult(table, 97).code);
    EXPECT_EQ("Unable to connect to service through proxy.", Text(table, 97));
    EXPECT_EQ(-5, FindResult(table, 7).code);
    EXPECT_EQ("Failed to connect to host.", Text(table, 7));
    EXPECT_EQ(-17, FindResult(table, -2).code);
    EXPECT_EQ("No sender has been specified.", Text(table, -2));
    EXPECT_EQ(-18, FindResult(table, -3).code);
    EXPECT_EQ("No recipients have been specified.", Text(table, -3));
    for (int code = -23; code <= -19; ++code)
        EXPECT_EQ(code, FindResult(table, code).code);

    // Absent sources, including already mapped public codes and CURLcodes without an entry.
    for (int absent : {-1, -5, -17, 4, 9, 99, 101, -100}) {
        EXPECT_EQ(-1, FindResult(table, absent).code) << absent;
        EXPECT_EQ(kGeneral, Text(table, absent)) << absent;
    }
}

TEST(ResultTable, EverySetHasTheSameEntriesAndDistinctTexts) {
    const ResultTable english = BuildResultTable(LANGUAGE_ENGLISH);
    ASSERT_EQ(25u, english.size());
    const std::vector<int> sources = {0,  100, 2,  97, 5,  6,  7,  3,  1,   35,  60,  10,  28,
                                      67, 55,  56, 94, 26, -2, -3, -19, -20, -21, -22, -23};
    for (int language = 0; language < kMessageLanguageCount; ++language) {
        const ResultTable table = BuildResultTable(language);
        ASSERT_EQ(25u, table.size());
        std::set<std::u16string> texts;
        for (int source : sources) {
            ASSERT_EQ(1u, table.count(source)) << language << " " << source;
            const ResultEntry& entry = table.at(source);
            EXPECT_EQ(english.at(source).code, entry.code);
            ASSERT_NE(nullptr, entry.message);
            if (entry.code == 1)
                EXPECT_EQ(u"", std::u16string(entry.message));
            else
                texts.insert(entry.message);
        }
        EXPECT_EQ(23u, texts.size()) << "language " << language;
        EXPECT_EQ(std::u16string(FailureTexts(language)[0]),
                  std::u16string(FindResult(table, 12345).message));
    }
}

TEST(ResultTable, ChoosesTheLanguageFromIndexOrTag) {
    EXPECT_EQ(0, ChooseMessageLanguage(nullptr, 0));
    EXPECT_EQ(6, ChooseMessageLanguage(nullptr, 6));
    EXPECT_EQ(3, ChooseMessageLanguage("3", 0));
    EXPECT_EQ(10, ChooseMessageLanguage("10", 4));
    EXPECT_EQ(0, ChooseMessageLanguage("0", 4));
    EXPECT_EQ(1, ChooseMessageLanguage("ja", 0));
    EXPECT_EQ(5, ChooseMessageLanguage("DE", 0));
    EXPECT_EQ(7, ChooseMessageLanguage("no", 0));
    EXPECT_EQ(7, ChooseMessageLanguage("nb", 0));
    EXPECT_EQ(10, ChooseMessageLanguage("zh", 0));
    EXPECT_EQ(9, ChooseMessageLanguage("Sv", 0));
    for (const char* other : {"", "11", "-1", "010", "1 ", "xx", "de-DE", "english", "e"})
        EXPECT_EQ(0, ChooseMessageLanguage(other, 8)) << '"' << other << '"';

    // An index outside the sets builds the English table.
    for (int outside : {-1, 11, 1000})
        EXPECT_EQ(kGeneral, Text(BuildResultTable(outside), 100));
    EXPECT_EQ("Der opstod en generel fejl.", Text(BuildResultTable(LANGUAGE_DANISH), 100));
}

TEST(ResultTable, ProcessLookupsUseTheTableOfTheChosenLanguage) {
    const int code = LookupResultCode(-3); // builds the process table
    EXPECT_EQ(-18, code);
    // Nothing else sets the index, so it is what the environment asked for when it was built.
    EXPECT_EQ(ChooseMessageLanguage(std::getenv("LARKMAIL_LANGUAGE"), 0), MessageLanguage);
    const ResultTable expected = BuildResultTable(MessageLanguage);
    for (int source : {0, 100, 7, -2, -3, -1, -5, -19, -22, 4}) {
        EXPECT_EQ(FindResult(expected, source).code, LookupResultCode(source)) << source;
        EXPECT_EQ(Utf8(FindResult(expected, source).message), Utf8(LookupResultMessage(source)))
            << source;
    }
}

// The texts, quoted exactly: every German one, and samples of the other sets with their
// peculiarities (missing full stop, doubled letter, inner blank, upper-case word).
TEST(ResultTexts, GermanSetIsExact) {
    const char* const german[kFailureTextCount] = {
        "Ein allgemeiner Fehler ist aufgetreten.",
        "Verbindung zum Dienst über Proxy nicht möglich.",
        "Proxy konnte nicht aufgelöst werden. Der angegebene Proxy-Host konnte nicht aufgelöst "
        "werden.",
        "Host konnte nicht aufgelöst werden. Der angegebene Remote-Host konnte nicht aufgelöst "
        "werden.",
        "Verbindung zum Host fehlgeschlagen.",
        "Host mit schlechtem / illegalem Format oder fehlendem Host.",
        "Nicht unterstütztes Protokoll.",
        "Beim Verbinden mit SSL ist ein Fehler aufgetreten.",
        "Das Serverzertifikat wurde widerrufen.",
        "Authentifizierung des Dienst Zertifikats fehlgeschlagen.",
        "Betriebszeitüberschreitung.",
        "Curl-Anmeldung vom Remote-Server abgelehnt.",
        "Fehler beim Senden der Netzwerkdaten.",
        "Fehler beim Empfang von Netzwerkdaten.",
        "Falscher Benutzername oder Passwort.",
        "Fehler beim Lesen der lokalen Datei.",
        "Es wurde kein Absender angegeben.",
        "Es wurden keine Empfänger angegeben.",
        "Fehler beim Konvertieren des Parameters mit seiner aktuellen Codierung. Der Parameter "
        "ist ungültig.",
        "Fehler beim Konvertieren der E-Mail mit der aktuellen Codierung aufgrund unzureichenden "
        "Speichers.",
        "Die E-Mail konnte nicht gesendet werden, da ihre Codierung nicht unterstützt wird.",
        "Fehler beim Konvertieren der E-Mail mit ihrer aktuellen Codierung. Ein allgemeiner "
        "Fehler ist aufgetreten.",
        "Der Server nimmt keine internationalen E-Mail-Adressen an (SMTPUTF8).",
    };
    const WCHAR* const* texts = FailureTexts(LANGUAGE_GERMAN);
    for (int i = 0; i < kFailureTextCount; ++i)
        EXPECT_EQ(german[i], Utf8(texts[i])) << "code " << -(i + 1);
}

TEST(ResultTexts, EverySetHasItsOwnExactTexts) {
    struct Sample {
        int language;
        int code;
        const char* text;
    };
    const Sample samples[] = {
        {LANGUAGE_ENGLISH, -1, "A general error occurred"},
        {LANGUAGE_ENGLISH, -6, "Host using bad/illegal format or missing host."},
        {LANGUAGE_ENGLISH, -22,
         "Failed to convert the email with its current encoding. A general error occurred."},
        {LANGUAGE_JAPANESE, -4,
         "ホストを解決できませんでした。 指定されたリモート ホストを解決できませんでした。"},
        {LANGUAGE_JAPANESE, -12, "リモートサーバーは curl のログインを拒否しました。"},
        {LANGUAGE_DANISH, -3,
         "Kunne ikke løse fuldmagt. Den givne stedfortrædende vært kunne ikke løses."},
        {LANGUAGE_DUTCH, -18, "Er zijn geen ontvangers gespecificeerd."},
        {LANGUAGE_FRENCH, -5, "Échec de la connexion à l'hôte."},
        {LANGUAGE_FRENCH, -22,
         "Erreur de conversion de l'e-mail avec votre encodage actuel. Une erreur générale "
         "s'est produite."},
        {LANGUAGE_ITALIAN, -16, "EErrore nella lettura del file locale."},
        {LANGUAGE_ITALIAN, -21,
         "Errore nell'invio dell'email perché la sua codifica non è supportata."},
        {LANGUAGE_NORWEGIAN, -8, "Det oppstod en feil ved tilkobling MED SSL."},
        {LANGUAGE_SPANISH, -15, "Nombre de usuario o contraseña incorrectos."},
        {LANGUAGE_SWEDISH, -2, "Det går inte att ansluta till Tjänsten via proxy."},
        {LANGUAGE_SWEDISH, -11, "Drift timeout."},
        {LANGUAGE_CHINESE_SIMPLIFIED, -1, "一般错误"},
        {LANGUAGE_CHINESE_SIMPLIFIED, -19, "转码失败，参数错误"},
    };
    for (const Sample& s : samples)
        EXPECT_EQ(s.text, Utf8(FailureTexts(s.language)[-s.code - 1]))
            << "language " << s.language << " code " << s.code;
}

} // namespace

// Mail that every reader shows as the sender meant it. One table of messages, sent through the
// library's exports into a real Postfix that delivers them into a Maildir (the SMTP test server
// stands in where Postfix cannot run), and every delivered file read by three independent mail
// readers and three file extractors. Each row states what the host set; every reader must show
// exactly that, and every extractor must save each file under its name.
#include "header_form.h"
#include "library_objects.h"
#include "mail_readers.h"
#include "postfix_peer.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <tuple>

using namespace SMTPClientNS;
using testsupport::ReaderFile;
using testsupport::ReaderMailbox;
using testsupport::ReaderText;
using testsupport::ReaderView;
using testsupport::Utf16;

namespace {

struct File {
    std::string name;  // file name (UTF-8), a relative path for images of an HTML file
    std::string bytes; // content
    std::string type;  // the Content-Type readers must report
    std::string cid;   // inline images: the content id the HTML references
};

struct Row {
    std::string label;
    std::string charset = "UTF-8";
    std::string subject = "Plain subject";
    ReaderMailbox from = {"Ann Doe", "ann@example.org"};
    std::vector<ReaderMailbox> to = {{"Bob", "bob@example.org"}};
    std::vector<ReaderMailbox> cc = {};
    std::string plain = "", html = ""; // UTF-8, LF line ends
    std::vector<File> images = {};     // in the order the HTML references them
    std::vector<File> attachments = {};
    // When set, the HTML is loaded from this file text, written beside its images (kind 5), and
    // html is what readers must show.
    std::string htmlFile = "";
    // Python's email keeps the white space between adjacent encoded-words of a display name
    // (RFC 2047 drops it), which only names too long for one encoded-word need: for such rows
    // Python's names are compared without white space.
    bool namesNeedSeveralWords = false;
};

const File kLogo = {"logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "image/png",
                    "logo@larkmail"};
const File kChart = {"chart.bmp", std::string("BM\x3a\0\0\0\0\0\0\0\x36\0", 12), "image/bmp",
                     "chart"};
const char kImageHtml[] = "<p>Logo <img src=\"cid:logo@larkmail\"> and chart "
                          "<img src=\"cid:chart\"></p>";

std::string Binary(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7919 + i / 13) & 0xFF);
    return bytes;
}

std::vector<File> Attachments() {
    return {{"report.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n", "application/pdf", ""},
            {"data.bin", Binary(3000), "application/octet-stream", ""},
            {"notes.txt", "first line\nsecond line\n", "text/plain", ""}};
}

std::string Words(int count) {
    static const char* words[] = {"Grüße", "an", "alle", "über", "schöne", "Tage", "in", "Köln"};
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(i ? " " : "") + words[i % 8];
    return text;
}

std::vector<ReaderMailbox> Recipients(int count) {
    std::vector<ReaderMailbox> list;
    for (int i = 1; i <= count; ++i)
        list.push_back({i % 3 ? "Empfänger " + std::to_string(i) : "",
                        "r" + std::to_string(i) + "@example.org"});
    return list;
}

std::vector<Row> Table() {
    std::vector<Row> rows;
    auto add = [&rows](Row row) { rows.push_back(std::move(row)); };
    const std::string plain = "Hello Bob,\nthe figures are attached.\n";
    const std::string html = "<p>Hello <b>Bob</b>,</p>\n<p>the figures are attached.</p>";
    add({.label = "plain only", .plain = plain});
    add({.label = "HTML only", .html = html});
    add({.label = "plain and HTML", .plain = plain, .html = html});
    add({.label = "HTML with two inline images", .html = kImageHtml, .images = {kLogo, kChart}});
    add({.label = "plain with attachments", .plain = plain, .attachments = Attachments()});
    add({.label = "HTML with attachments", .html = html, .attachments = Attachments()});
    add({.label = "plain and HTML with attachments",
         .plain = plain,
         .html = html,
         .attachments = Attachments()});
    add({.label = "plain, HTML, inline images and attachments",
         .plain = plain,
         .html = kImageHtml,
         .images = {kLogo, kChart},
         .attachments = Attachments()});
    add({.label = "UTF-8 words",
         .subject = "Grüße aus Köln – schöne Tage",
         .from = {"Jürgen Weiß", "jw@example.org"},
         .to = {{"Zoë Brontë", "zoe@example.org"}, {"Doe, Ann", "ann@example.org"}},
         .cc = {{"Ægir Þórsson", "aegir@example.org"}},
         .plain = "Grüße aus Köln\n",
         .html = "<p>Grüße aus <i>Köln</i></p>",
         .attachments = {
             {"Übersicht März.pdf", "%PDF-1.4\n", "application/pdf", ""},
             {"Präsentation über die Ergebnisse des Geschäftsjahres – endgültig.docx", Binary(100),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document", ""}}});
    add({.label = "ISO-8859-1 words",
         .charset = "ISO-8859-1",
         .subject = "Café crème für Sie",
         .from = {"François Dupré", "fd@example.org"},
         .to = {{"Søren Ødegård", "so@example.org"}},
         .cc = {{"Ana Núñez", "an@example.org"}},
         .plain = "Voilà le résumé.\n",
         .html = "<p>Voilà le résumé.</p>",
         .attachments = {{"Résumé.txt", "r\xE9sum\xE9\n", "text/plain", ""}}});
    add({.label = "Shift_JIS words",
         .charset = "Shift_JIS",
         .subject = "会議の資料について",
         .from = {"山田 太郎", "yamada@example.jp"},
         .to = {{"佐藤 花子", "sato@example.jp"}},
         .plain = "資料を添付します。\n",
         .html = "<p>資料を添付します。</p>",
         .attachments = {{"報告書.pdf", "%PDF-1.4\n", "application/pdf", ""}}});
    add({.label = "ISO-2022-JP words",
         .charset = "ISO-2022-JP",
         .subject = "来週の予定 (確認) について",
         .from = {"鈴木 一郎", "suzuki@example.jp"},
         .to = {{"田中 美咲", "tanaka@example.jp"}},
         .cc = {{"高橋 健", "takahashi@example.jp"}},
         .plain = "来週の予定を確認してください。\n",
         .html = "<p>来週の予定を確認してください。</p>",
         .attachments = {{"見積書 2026.xlsx", Binary(500),
                          "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                          ""}}});
    add({.label = "60-word subject and long display names",
         .subject = Words(60),
         .from = {"Maximilian Müller-Lüdenscheidt von und zu Großbeeren-Überlingen der Ältere",
                  "max@example.org"},
         .to = {{"日本語の名前がとても長い受信者のための表示名です本当に長いです",
                 "jp@example.org"}},
         .plain = plain,
         .namesNeedSeveralWords = true});
    const std::vector<ReaderMailbox> many = Recipients(300);
    add({.label = "300 recipients",
         .to = {many.begin(), many.begin() + 200},
         .cc = {many.begin() + 200, many.end()},
         .plain = plain});
    add({.label = "UTF-16 body",
         .charset = "UTF-16",
         .plain = "Grüße, 日本語\nzweite Zeile\n",
         .html = "<p>Grüße, 日本語</p>"});
    add({.label = "white space between non-ASCII words",
         .subject = "  Grüße  München \t und\tKöln  ",
         .plain = plain});
    add({.label = "subject that starts with encoded text",
         .subject = "来週の会議資料と予算案についての確認のお願い、至急ご確認ください",
         .plain = plain});
    add({.label = "non-ASCII attachment names",
         .plain = plain,
         .attachments = {{"売上データ.csv", "Monat,Umsatz\nMärz,1200\n", "text/csv", ""},
                         {"Rechnung März 2024.pdf", "%PDF-1.4\n%März\n", "application/pdf", ""}}});
    add({.label = "named inline images",
         .html = "<p><img src=\"cid:logo@larkmail\"> <img src=\"cid:karte\"></p>",
         .images = {kLogo,
                    {"Übersicht Köln.png", "\x89PNG\r\n\x1a\nKarte", "image/png", "karte"}}});
    add({.label = "HTML file with images beside it",
         .html = "<p><img src=\"cid:logo.png\"> <img src=\"cid:img/chart.bmp\"></p>",
         .images = {{"logo.png", kLogo.bytes, "image/png", "logo.png"},
                    {"img/chart.bmp", kChart.bytes, "image/bmp", "img/chart.bmp"}},
         .htmlFile = "<p><img src=\"logo.png\"> <img src=\"img/chart.bmp\"></p>"});
    add({.label = "lines longer than 998 bytes",
         .plain = "Start " + std::string(1500, 'x') + " Ende\nkurz\n",
         .html = "<p>" + Words(300) + "</p>"});
    return rows;
}

// What every reader must show of a row's message.
ReaderView Expected(const Row& row) {
    ReaderView view;
    view.subject = row.subject;
    view.from = {row.from};
    view.to = row.to;
    view.cc = row.cc;
    if (!row.html.empty())
        view.body = ReaderText{"text/html", row.html};
    else if (!row.plain.empty())
        view.body = ReaderText{"text/plain", row.plain};
    if (!row.html.empty() && !row.plain.empty())
        view.alternative = ReaderText{"text/plain", row.plain};
    for (const File& image : row.images)
        view.inlineImages.push_back({image.cid, image.type, testsupport::Sha256Of(image.bytes)});
    for (const File& file : row.attachments)
        view.attachments.push_back({file.name, file.type, testsupport::Sha256Of(file.bytes)});
    return view;
}

std::vector<ReaderMailbox> WithoutSpaces(std::vector<ReaderMailbox> list) {
    for (ReaderMailbox& mailbox : list)
        std::erase_if(mailbox.name, [](char c) { return c == ' '; });
    return list;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// What a file extractor must save of a row's message: every inline image and attachment under
// its file name, or, where the tool cannot read the name (munpack knows no RFC 2231 names),
// under a name of its own (none); never a glued or placeholder name.
std::vector<ReaderFile> ExpectedFiles(const Row& row, const std::string& extractor) {
    std::vector<ReaderFile> files;
    std::vector<File> all = row.images;
    all.insert(all.end(), row.attachments.begin(), row.attachments.end());
    for (const File& file : all) {
        const std::string name = file.name.substr(file.name.rfind('/') + 1);
        const bool readable = IsAscii(name) || extractor != "munpack";
        files.push_back({readable ? std::optional(name) : std::nullopt, std::nullopt,
                         testsupport::Sha256Of(file.bytes)});
    }
    std::sort(files.begin(), files.end(), [](const ReaderFile& a, const ReaderFile& b) {
        return std::tie(a.sha256, a.key) < std::tie(b.sha256, b.key);
    });
    return files;
}

// The files an extractor saved whose content is one the row sent as a file (bodies are saved
// too), in the order of ExpectedFiles.
std::vector<ReaderFile> SavedFiles(const std::vector<ReaderFile>& expected, ReaderView seen) {
    std::erase_if(seen.files, [&](const ReaderFile& file) {
        return std::none_of(expected.begin(), expected.end(),
                            [&](const ReaderFile& e) { return e.sha256 == file.sha256; });
    });
    std::sort(seen.files.begin(), seen.files.end(), [](const ReaderFile& a, const ReaderFile& b) {
        return std::tie(a.sha256, a.key) < std::tie(b.sha256, b.key);
    });
    return seen.files;
}

void ExpectShows(const ReaderView& expected, const ReaderView& seen, bool namesWithoutSpaces) {
    EXPECT_EQ(expected.subject, seen.subject);
    if (namesWithoutSpaces) {
        EXPECT_EQ(WithoutSpaces(expected.from), WithoutSpaces(seen.from));
        EXPECT_EQ(WithoutSpaces(expected.to), WithoutSpaces(seen.to));
        EXPECT_EQ(WithoutSpaces(expected.cc), WithoutSpaces(seen.cc));
    } else {
        EXPECT_EQ(expected.from, seen.from);
        EXPECT_EQ(expected.to, seen.to);
        EXPECT_EQ(expected.cc, seen.cc);
    }
    EXPECT_EQ(expected.body, seen.body);
    EXPECT_EQ(expected.alternative, seen.alternative);
    EXPECT_EQ(expected.inlineImages, seen.inlineImages);
    EXPECT_EQ(expected.attachments, seen.attachments);
    EXPECT_EQ(expected.other, seen.other);
    EXPECT_EQ(expected.defects, seen.defects);
}

IMimeMessage* Compose(const Row& row, const testsupport::TempDir& files) {
    IMimeMessage* message = testsupport::Library().createMimeMessage();
    message->SetCharset(Utf16(row.charset).c_str());
    message->SetSender(Utf16(row.from.address).c_str(), Utf16(row.from.name).c_str());
    for (const ReaderMailbox& to : row.to)
        message->AddRecipient(Utf16(to.address).c_str(), Utf16(to.name).c_str());
    for (const ReaderMailbox& cc : row.cc)
        message->AddCc(Utf16(cc.address).c_str(), Utf16(cc.name).c_str());
    message->SetSubject(Utf16(row.subject).c_str());
    message->SetTextBody(Utf16(row.plain).c_str());
    if (!row.htmlFile.empty()) {
        for (const File& image : row.images)
            files.write(row.label + "/" + image.name, image.bytes);
        const std::string page = files.write(row.label + "/mail.html", row.htmlFile);
        message->LoadBodyFromFile(Utf16(page).c_str(), BODY_HTML_EMBED_IMAGES_UTF8);
    } else {
        message->SetHtmlBody(Utf16(row.html).c_str());
        for (const File& image : row.images)
            message->AddInlineImage(
                Utf16(files.write(row.label + "/" + image.name, image.bytes)).c_str(),
                Utf16(image.cid).c_str());
    }
    for (const File& file : row.attachments)
        message->AddAttachment(Utf16(files.write(row.label + "/" + file.name, file.bytes)).c_str());
    return message;
}

// Sends every row to the port; deliver(i) returns the path of row i's delivered message.
template <typename Deliver>
std::vector<std::string> SendAll(const std::vector<Row>& rows, int port, Deliver deliver) {
    testsupport::TempDir files;
    testsupport::ClientPtr client(testsupport::Library().createSmtpClient());
    client->SetHost(u"127.0.0.1");
    client->SetPort(port);
    client->SetUseTls(false);
    client->SetConnectTimeout(5);
    std::vector<std::string> paths;
    for (size_t i = 0; i < rows.size(); ++i) {
        testsupport::MessagePtr message(Compose(rows[i], files));
        client->SetMimeMessage(message.get());
        EXPECT_EQ(SMTP_SUCCESS, client->Send()) << rows[i].label;
        paths.push_back(deliver(i));
    }
    return paths;
}

TEST(Readers, EveryReaderShowsWhatTheHostSet) {
    const std::vector<Row> rows = Table();
    std::vector<std::string> paths;
    const std::string postfixMissing = testsupport::PostfixPeer::UnavailableReason();
    std::unique_ptr<testsupport::PostfixPeer> postfix;
    std::unique_ptr<testsupport::SmtpPeer> server;
    if (postfixMissing.empty()) {
        postfix = std::make_unique<testsupport::PostfixPeer>();
        paths = SendAll(rows, postfix->port(), [&](size_t) { return postfix->nextDelivery(); });
    } else {
        std::cout << "No private Postfix: " << postfixMissing << "; using the SMTP test server\n";
        server = std::make_unique<testsupport::SmtpPeer>();
        paths = SendAll(rows, server->port(), [&](size_t i) {
            return server->waitForMessages(i + 1) ? server->messages().at(i).emlPath : "";
        });
    }
    ASSERT_EQ(rows.size(), paths.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_FALSE(paths[i].empty()) << rows[i].label << " was not delivered";
        for (const std::string& fault :
             testsupport::HeaderFormFaults(testsupport::ReadFileBytes(paths[i])))
            ADD_FAILURE() << rows[i].label << ": " << fault;
    }

    const auto views = testsupport::ReadWithAllReaders(paths);
    const auto extracted = testsupport::ReadWithExtractors(paths);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ReaderView expected = Expected(rows[i]);
        for (const ReaderView& seen : views[i]) {
            SCOPED_TRACE(rows[i].label + ", read by " + seen.reader);
            ExpectShows(expected, seen,
                        rows[i].namesNeedSeveralWords && seen.reader == "python-email");
        }
        for (const ReaderView& seen : extracted[i]) {
            SCOPED_TRACE(rows[i].label + ", saved by " + seen.reader);
            const std::vector<ReaderFile> files = ExpectedFiles(rows[i], seen.reader);
            EXPECT_EQ(files, SavedFiles(files, seen));
        }
    }
}

// The form check itself: each case is one message and the faults it must report.
TEST(Readers, HeaderFormCheckFindsEachBrokenRule) {
    const std::string word75 = "=?UTF-8?b?" + std::string(63, 'Q') + "?=";
    const std::string word76 = "=?UTF-8?b?" + std::string(64, 'Q') + "?=";
    struct Case {
        std::string message;
        size_t faults;
    };
    const Case cases[] = {
        {"Subject: Re:\r\n " + word75 + "\r\n =?UTF-8?b?QQ==?= text\r\nTo: a@b\r\n\r\nbody\r\n", 0},
        {"Subject: =?UTF-8?b?QQ==?=text\r\n\r\n", 1},
        {"To: =?UTF-8?b?QQ==?=, x@y\r\n\r\n", 1},
        {"Subject: a=?UTF-8?b?QQ==?= b\r\n\r\n", 1},
        {"Subject: Re:\n " + word76 + "\n\n", 1},
        {"Subject: " + std::string(990, 'x') + "\r\n\r\n", 1},
        {"Subject: " + word75 + "\r\n\r\n", 1},
        {"Subject: =?UTF-8?b?" + std::string(57, 'Q') + "?=\r\n\r\n", 0},
        {"X: y\r\n\r\n" + std::string(999, 'b') + "\r\n", 1},
        // A part's header, after a delimiter of the announced boundary; not the body text.
        {"Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\n"
         "Content-Disposition: attachment; filename=\"=?UTF-8?b?QQ==?=\"\r\n\r\n"
         "=?UTF-8?b?QQ==?=, body text\r\n--B--\r\n",
         1},
        // 7-bit text labelled 8bit; the second part holds an 8-bit byte.
        {"Content-Type: multipart/mixed;\r\n boundary=\"B\"\r\n\r\n--B\r\n"
         "Content-Transfer-Encoding: 8bit\r\n\r\nascii\r\n--B\r\n"
         "Content-Transfer-Encoding: 8bit\r\n\r\nGr\xC3\xBC\r\n--B--\r\n",
         1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.faults, testsupport::HeaderFormFaults(c.message).size()) << c.message;
}

} // namespace

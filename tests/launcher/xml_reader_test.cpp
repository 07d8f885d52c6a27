// The XML configuration reader: the accepted subset, the RuntimePath lookup, and documents
// outside the subset (refused, never read past their end, never hanging).
#include "xml/configuration_file.h"
#include "xml/xml_reader.h"

#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <string>

using launcher::XmlNode;
using launcher::XmlReader;

namespace {

// RuntimePath lookup on a file with this content: the path, "<false>" or "<empty>".
std::string Lookup(const std::string& content) {
    testsupport::TempDir dir;
    const std::string file = dir.write("App.xml", content);
    WCHAR buffer[MAX_PATH] = {};
    if (!launcher::ReadConfiguredRuntimePathFrom(testsupport::Utf16(file).c_str(), buffer))
        return "<false>";
    return *buffer ? testsupport::Utf8(buffer) : "<empty>";
}

bool Parses(const std::u16string& text, XmlNode& root) {
    XmlReader reader;
    reader.LoadText(text);
    return reader.ParseRoot(root);
}

} // namespace

TEST(XmlReader, ParsesElementsAttributesTextAndComments) {
    XmlNode root;
    ASSERT_TRUE(Parses(u"<?xml version=\"1.0\"?>\r\n<!-- a -->\t<Root a=\"1\" b = \"x y\" a=\"2\""
                       u" _c=unquoted>\r\n  <Child>  text \t</Child><Other-name.x/>"
                       u"<!-- between --><Child>second</Child></Root> trailing",
                       root));
    EXPECT_EQ(u"Root", root.name);
    EXPECT_EQ(u"2", root.attributes[u"a"]); // a repeated name keeps the last value
    EXPECT_EQ(u"x y", root.attributes[u"b"]);
    ASSERT_EQ(3u, root.children.size());
    EXPECT_EQ(u"text", root.children[0].text);
    EXPECT_EQ(u"Other-name.x", root.children[1].name);
    EXPECT_EQ(u"second", root.children[2].text);
}

TEST(XmlReader, RuntimePathLookup) {
    EXPECT_EQ("../runtime dir", Lookup("<?xml version=\"1.0\"?>\n<!-- c -->\n<Application>\n"
                                       "  <RuntimePath>\n\t ../runtime dir \r\n</RuntimePath>\n"
                                       "</Application>\n"));
    EXPECT_EQ("rt", Lookup("<Application id=\"7\"><RuntimePath kind=\"x\">rt</RuntimePath>"
                           "</Application>"));
    EXPECT_EQ("<false>", Lookup("<Application><runtimepath>rt</runtimepath></Application>"));
    EXPECT_EQ("<false>", Lookup("<Application><Group><RuntimePath>rt</RuntimePath></Group>"
                                "</Application>"));
    EXPECT_EQ("<false>", Lookup("<Applications><RuntimePath>rt</RuntimePath></Applications>"));
    EXPECT_EQ("<empty>", Lookup("<Application><RuntimePath/></Application>"));
    EXPECT_EQ("<empty>", Lookup("<Application><RuntimePath> \t\n </RuntimePath></Application>"));
    // Several RuntimePath children: the last one with text wins, whole.
    EXPECT_EQ("b", Lookup("<Application><RuntimePath>a-long-one</RuntimePath>"
                          "<RuntimePath>b</RuntimePath><RuntimePath/></Application>"));
    // UTF-8 text arrives as UTF-16.
    EXPECT_EQ("/opt/r\xc3\xbcntime", Lookup("<Application><RuntimePath>/opt/r\xc3\xbcntime"
                                            "</RuntimePath></Application>"));
    EXPECT_EQ("<false>", Lookup(""));
}

TEST(XmlReader, OverlongRuntimePathIsRefusedNotCut) {
    const std::string fits(259, 'a');
    EXPECT_EQ(fits, Lookup("<Application><RuntimePath>" + fits + "</RuntimePath></Application>"));
    EXPECT_EQ("<empty>", Lookup("<Application><RuntimePath>" + fits +
                                "a</RuntimePath>"
                                "</Application>"));
}

TEST(XmlReader, DocumentsOutsideTheSubsetAreRefused) {
    for (const char* document : {
             "<Application><RuntimePath>rt</RuntimePath>", // not closed
             "<Application><RuntimePath>rt",               // text runs to the end
             "<!-- open <Application/>",                   // unterminated comment
             "<?xml version=\"1.0\" <Application/>",       // unterminated declaration
             "\xEF\xBB\xBF<Application><RuntimePath>rt</RuntimePath></Application>", // BOM
             "<!DOCTYPE a><Application/>", // document type
             "text<Application/>",         // content before the root
             "<Application a=\"1><RuntimePath>rt</RuntimePath></Application>", // open quote
             "<Application 1a=\"x\"><RuntimePath>rt</RuntimePath></Application>",
             "<Application><RuntimePath>rt</RuntimePath><!-- x",
             "<Application",
             "<",
         }) {
        EXPECT_EQ("<false>", Lookup(document)) << document;
    }
}

TEST(XmlReader, HostileDocumentsNeitherHangNorExhaustTheStack) {
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<a>";
    EXPECT_EQ("<false>", Lookup("<Application><RuntimePath>rt</RuntimePath>" + nested));

    std::string deepButAccepted = "<Application><RuntimePath>rt</RuntimePath>";
    for (int i = 0; i < 200; ++i)
        deepButAccepted += "<a>";
    for (int i = 0; i < 200; ++i)
        deepButAccepted += "</a>";
    EXPECT_EQ("rt", Lookup(deepButAccepted + "</Application>"));

    std::string large = "<Application><!--" + std::string(10 * 1024 * 1024, 'x') +
                        "--><RuntimePath>big</RuntimePath>";
    EXPECT_EQ("big", Lookup(large + "</Application>"));
    EXPECT_EQ("<false>", Lookup(large)); // same file, not closed
}

TEST(ConfigurationFileName, CutsTheFileNameAtItsLastDot) {
    WCHAR out[MAX_PATH];
    ASSERT_TRUE(launcher::ConfigurationFileName(u"/opt/apps/Sales.bin", out, MAX_PATH));
    EXPECT_EQ(u"/opt/apps/Sales.xml", std::u16string(out));
    // A folder's dot is not the file name's extension.
    ASSERT_TRUE(launcher::ConfigurationFileName(u"/opt/my.apps/Sales", out, MAX_PATH));
    EXPECT_EQ(u"/opt/my.apps/Sales.xml", std::u16string(out));
    ASSERT_TRUE(launcher::ConfigurationFileName(u"/opt/a.b/Sales.v2.run", out, MAX_PATH));
    EXPECT_EQ(u"/opt/a.b/Sales.v2.xml", std::u16string(out));
    EXPECT_FALSE(launcher::ConfigurationFileName(std::u16string(257, u'a').c_str(), out, 260));
}

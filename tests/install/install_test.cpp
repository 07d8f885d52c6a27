// The installed tree: what `cmake --install` puts into a fresh prefix, and programs built
// against that prefix alone (CMake package, pkg-config, the README's host example) sending to a
// real SMTP server.
#include "child_process.h"
#include "smtp_peer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ProcessResult;
using testsupport::RunProcess;
using testsupport::SmtpPeer;
using testsupport::TempDir;

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell command line; the result's output holds standard output and standard error.
ProcessResult Shell(const std::string& command) {
    return RunProcess({"/bin/sh", "-c", command + " 2>&1"});
}

// The value in brackets on readelf's line for tag ("SONAME", "RUNPATH"), empty without one.
std::string DynamicEntry(const std::string& readelf, const std::string& tag) {
    const size_t at = readelf.find("(" + tag + ")");
    if (at == std::string::npos)
        return "";
    const size_t open = readelf.find('[', at);
    const size_t close = readelf.find(']', open);
    return readelf.substr(open + 1, close - open - 1);
}

// Installs the build once per test program into a temporary prefix.
class InstalledTree : public testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = new TempDir;
        install_ = Shell(Quote(CMAKE_PROGRAM) + " --install " + Quote(BUILD_DIR) + " --prefix " +
                         Quote(Prefix()));
    }
    static void TearDownTestSuite() {
        delete root_;
        root_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(0, install_.exitCode) << install_.output; }

    static std::string Prefix() { return root_->file("prefix"); }
    static std::string Installed(const std::string& relative) { return Prefix() + "/" + relative; }
    static std::string Work(const std::string& relative) { return root_->file(relative); }

    static TempDir* root_;
    static ProcessResult install_;
};

TempDir* InstalledTree::root_ = nullptr;
ProcessResult InstalledTree::install_;

const std::string kLib = INSTALL_LIBDIR;
const std::string kBin = INSTALL_BINDIR;

TEST_F(InstalledTree, FilesHaveVersionedNamesAndNoRunPathIntoTheBuild) {
    const std::string binToLib = fs::path(kLib).lexically_relative(kBin).string();
    struct Binary {
        std::string file;
        const char* soname; // nullptr: not checked
        std::string runpath;
    };
    const Binary binaries[] = {
        {kLib + "/libLarkmail.so.1", "libLarkmail.so.1", "$ORIGIN"},
        {kLib + "/libwin32compat.so.1", "libwin32compat.so.1", ""},
        {kBin + "/larkmail-send", nullptr, "$ORIGIN/" + binToLib},
        {kBin + "/package-app", nullptr, ""},
        {std::string(INSTALL_LIBEXECDIR) + "/larkmail/launcher", nullptr, ""},
        {kLib + "/larkmail/sample-runtime/libcvvm.so", nullptr, ""},
    };
    for (const Binary& b : binaries) {
        const ProcessResult readelf = Shell("readelf -d " + Quote(Installed(b.file)));
        ASSERT_EQ(0, readelf.exitCode) << b.file << ": " << readelf.output;
        if (b.soname) {
            EXPECT_EQ(b.soname, DynamicEntry(readelf.output, "SONAME")) << b.file;
        }
        EXPECT_EQ(b.runpath, DynamicEntry(readelf.output, "RUNPATH")) << b.file;
        EXPECT_EQ("", DynamicEntry(readelf.output, "RPATH")) << b.file;
        EXPECT_EQ(std::string::npos, readelf.output.find(BUILD_DIR)) << b.file;
    }

    // Development link -> SONAME -> the file with the full version.
    EXPECT_EQ("libLarkmail.so.1", fs::read_symlink(Installed(kLib + "/libLarkmail.so")).string());
    EXPECT_EQ("libLarkmail.so.1.0.0",
              fs::read_symlink(Installed(kLib + "/libLarkmail.so.1")).string());
    EXPECT_EQ("libwin32compat.so.1",
              fs::read_symlink(Installed(kLib + "/libwin32compat.so")).string());
    for (const std::string& file :
         {std::string(INSTALL_INCLUDEDIR) + "/larkmail/larkmail.h",
          std::string(INSTALL_INCLUDEDIR) + "/larkmail/win32compat/windows.h",
          kLib + "/cmake/Larkmail/LarkmailConfig.cmake",
          kLib + "/cmake/Larkmail/LarkmailConfigVersion.cmake", kLib + "/pkgconfig/larkmail.pc"})
        EXPECT_TRUE(fs::is_regular_file(Installed(file))) << file;
}

TEST_F(InstalledTree, ProgramsBuiltAgainstThePrefixSend) {
    SmtpPeer plain;
    testsupport::SmtpPeerOptions secured;
    secured.certFile = testsupport::TestCertificate().certFile;
    secured.keyFile = testsupport::TestCertificate().keyFile;
    secured.requireTls = true;
    secured.user = "ann";
    secured.password = "secret";
    SmtpPeer tls(secured);

    const std::string flags = std::string("-std=c++20 ") + CONSUMER_FLAGS;
    const std::string cmake = Quote(CMAKE_PROGRAM);
    const std::string libraryPath = "env LD_LIBRARY_PATH=" + Quote(Installed(kLib)) + " ";
    struct Program {
        const char* name;
        std::string build; // empty: installed, nothing to build
        std::string run;
        const SmtpPeer& peer;
        std::string recipient;
    };
    const Program programs[] = {
        {"find_package consumer, asynchronous send",
         cmake + " -S " + Quote(CONSUMERS_DIR "/cmake") + " -B " + Quote(Work("cmake")) +
             " -DCMAKE_PREFIX_PATH=" + Quote(Prefix()) + " -DCMAKE_CXX_COMPILER=" +
             Quote(CXX_COMPILER) + " -DCMAKE_CXX_FLAGS=" + Quote(CONSUMER_FLAGS) +
             " -DCMAKE_EXE_LINKER_FLAGS=" + Quote(CONSUMER_FLAGS) + " && " + cmake + " --build " +
             Quote(Work("cmake")),
         Quote(Work("cmake/cmake_consumer")) + " " + std::to_string(plain.port()), plain,
         "cmake@example.org"},
        {"pkg-config consumer, synchronous send",
         "export PKG_CONFIG_PATH=" + Quote(Installed(kLib + "/pkgconfig")) + "; " +
             Quote(CXX_COMPILER) + " " + flags + " " + Quote(CONSUMERS_DIR "/pkg-config/main.cpp") +
             " $(pkg-config --cflags --libs larkmail) -o " + Quote(Work("pkg_config_consumer")),
         libraryPath + Quote(Work("pkg_config_consumer")) + " " + std::to_string(plain.port()),
         plain, "pkg-config@example.org"},
        {"host example, loaded by SONAME, STARTTLS and AUTH",
         Quote(CXX_COMPILER) + " " + flags + " -I" + Quote(Installed(INSTALL_INCLUDEDIR)) + " " +
             Quote(HOST_EXAMPLE_SOURCE) + " -ldl -o " + Quote(Work("host_example")),
         libraryPath + Quote(Work("host_example")) + " 127.0.0.1 " + std::to_string(tls.port()) +
             " ann@example.org example@example.org ann secret",
         tls, "example@example.org"},
        {"installed larkmail-send, library through its run path", "",
         Quote(Installed(kBin + "/larkmail-send")) + " --host 127.0.0.1 --port " +
             std::to_string(plain.port()) +
             " --no-tls --from ann@example.org --to send@example.org --subject s --text t",
         plain, "send@example.org"},
    };
    for (const Program& p : programs) {
        if (!p.build.empty()) {
            const ProcessResult built = Shell(p.build);
            ASSERT_EQ(0, built.exitCode) << p.name << ": " << built.output;
        }
        const size_t before = p.peer.messages().size();
        const ProcessResult ran = Shell(p.run);
        EXPECT_EQ(0, ran.exitCode) << p.name << ": " << ran.output;
        ASSERT_TRUE(p.peer.waitForMessages(before + 1)) << p.name;
        EXPECT_EQ(std::vector<std::string>{p.recipient}, p.peer.messages().back().recipients)
            << p.name;
    }
}

// An application copy of the installed launcher, made by the installed package-app, finds the
// installed sample runtime through its XML file; the installed launcher itself finds nothing
// beside it and says so.
TEST_F(InstalledTree, InstalledLauncherFindsTheRuntimeItIsPointedAt) {
    const std::string launcher = Installed(std::string(INSTALL_LIBEXECDIR) + "/larkmail/launcher");
    const std::string runtime = Installed(kLib + "/larkmail/sample-runtime");
    fs::create_directories(Work("app"));
    const ProcessResult packaged =
        Shell(Quote(Installed(kBin + "/package-app")) + " --launcher " + Quote(launcher) +
              " --output " + Quote(Work("app/Sales")) + " --runtime-path " + Quote(runtime));
    ASSERT_EQ(0, packaged.exitCode) << packaged.output;

    const std::string env = "env WIN32COMPAT_REGISTRY_FILE=" + Quote(Work("no-registry.reg")) +
                            " SAMPLE_RUNTIME_EXIT_CODE=7 PATH=/usr/bin:/bin ";
    struct Start {
        const char* name;
        std::string program;
        int exitCode;
        std::string outputStart;
    };
    const Start starts[] = {
        {"application copy", Work("app/Sales"), 7, "entry=FN_RunExecutable\n"},
        {"installed launcher", launcher, 0, "[Error] "},
    };
    for (const Start& s : starts) {
        const ProcessResult run = Shell(env + Quote(s.program) + " -x");
        EXPECT_EQ(s.exitCode, run.exitCode) << s.name << ": " << run.output;
        EXPECT_EQ(0u, run.output.find(s.outputStart)) << s.name << ": " << run.output;
    }
    const ProcessResult copy = Shell(env + Quote(Work("app/Sales")) + " -x");
    EXPECT_NE(std::string::npos,
              copy.output.find("\nPATH=" + runtime + ":" + runtime + "/x64:/usr/bin:/bin\n"))
        << copy.output;
}

} // namespace

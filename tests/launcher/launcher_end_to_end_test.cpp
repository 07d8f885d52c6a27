// End-to-end: application copies of the built launcher in temporary folders, with their own
// registry file, XML file and runtime folders, started with a controlled environment. The
// sample runtime prints what it received; message boxes arrive on standard error.
#include "temp_dir.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kSolution =
    "\\r\\nSolution: Enter the application URL in the browser to run the application.";
const std::string kInheritedPath = "/usr/bin:/bin";

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class LauncherTest : public testing::Test {
protected:
    std::string App() const { return dir_.file(appFolder_ + "/Sales"); }

    // Packages the application copy with package-app.
    void Package(const std::vector<std::string>& options,
                 const std::string& launcher = LAUNCHER_PATH) {
        fs::create_directories(dir_.file(appFolder_));
        std::vector<std::string> args = {PACKAGE_APP_PATH, "--launcher", launcher, "--output",
                                         App()};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(0, Run(args, {}).exitCode);
    }

    // A runtime installation: the library in the folder and in its x64 sub-folder.
    std::string Runtime(const std::string& name, const std::string& library = SAMPLE_RUNTIME_PATH) {
        const std::string folder = dir_.file(name);
        fs::create_directories(folder + "/x64");
        fs::copy_file(library, folder + "/libcvvm.so");
        fs::copy_file(library, folder + "/x64/libcvvm.so");
        return folder;
    }

    void Registry(const std::string& body) {
        dir_.write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + body);
    }

    static std::string Registered(const std::string& version, const std::string& location) {
        return "[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime\\" + version +
               "]\r\n\"Location\"=\"" + location + "\"\r\n\r\n";
    }

    Outcome Start(const std::vector<std::string>& args = {},
                  std::map<std::string, std::string> env = {}) {
        std::vector<std::string> argv = {App()};
        argv.insert(argv.end(), args.begin(), args.end());
        env.emplace("PATH", kInheritedPath);
        env.emplace("WIN32COMPAT_REGISTRY_FILE", dir_.file("registry.reg"));
        env.emplace("SAMPLE_RUNTIME_EXIT_CODE", "7");
        return Run(argv, env);
    }

    // fileSizeLimit, unless infinite, bounds the size of every file the program writes.
    Outcome Run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                rlim_t fileSizeLimit = RLIM_INFINITY) const {
        const std::string out = dir_.file("stdout.txt");
        const std::string err = dir_.file("stderr.txt");
        const pid_t pid = fork();
        if (pid == 0) {
            int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(o, 1);
            dup2(e, 2);
            if (chdir(dir_.path().c_str()) != 0)
                _exit(126);
            if (fileSizeLimit != RLIM_INFINITY) {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            alarm(60); // a program that hangs ends with a signal instead of stopping the tests
            std::vector<std::string> envText;
            for (const auto& [name, value] : env)
                envText.push_back(name + "=" + value);
            if (env.empty())
                envText.push_back("PATH=/usr/bin:/bin");
            std::vector<char*> a, e2;
            for (const auto& s : argv)
                a.push_back(const_cast<char*>(s.c_str()));
            for (const auto& s : envText)
                e2.push_back(const_cast<char*>(s.c_str()));
            a.push_back(nullptr);
            e2.push_back(nullptr);
            execve(a[0], a.data(), e2.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = testsupport::ReadFileBytes(out);
        outcome.err = testsupport::ReadFileBytes(err);
        return outcome;
    }

    testsupport::TempDir dir_;
    std::string appFolder_ = "app"; // below dir_
};

std::string Received(const std::string& entry, const std::string& arguments,
                     const std::string& path) {
    return "entry=" + entry +
           "\ninstance=set\nprocess_module=yes\nprevious=null\narguments=" + arguments +
           "\nshow=10\nfifth=1000\nsixth=0\nPATH=" + path + "\n";
}

std::string Box(const std::string& text) {
    return "[Error] " + text + "\n";
}

} // namespace

TEST_F(LauncherTest, A64BitLibraryBesideTheLauncherWinsAndPathIsUnchanged) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000", "--runtime-path", rt});
    fs::copy_file(SAMPLE_RUNTIME_PATH, dir_.file("app/libcvvm.so"));
    Registry(Registered("22.0.0.2000", rt));
    const Outcome o = Start({"-x"});
    EXPECT_EQ(7, o.exitCode);
    EXPECT_EQ(Received("FN_RunExecutable", "-x", kInheritedPath), o.out);
    EXPECT_EQ("", o.err);
}

TEST_F(LauncherTest, A32BitLibraryBesideTheLauncherIsIgnored) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000"});
    std::string elf32 = "\x7F"
                        "ELF\x01\x01\x01" +
                        std::string(9, '\0');
    elf32 += std::string("\x03\x00\x03\x00", 4) + std::string(200, '\0'); // ET_DYN, EM_386
    dir_.write("app/libcvvm.so", elf32);
    Registry(Registered("22.0.0.2000", rt));
    const Outcome o = Start();
    EXPECT_EQ(7, o.exitCode);
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + "/x64:" + kInheritedPath), o.out);
}

TEST_F(LauncherTest, XmlPathsAbsoluteAndRelativeWithTheirPathFormats) {
    const std::string rt = Runtime("rt");
    Package({"--runtime-path", rt});
    Outcome o = Start();
    EXPECT_EQ(7, o.exitCode) << o.err;
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + ":" + rt + "/x64:" + kInheritedPath), o.out);

    // Relative to the launcher's folder, whatever the current folder is.
    Package({"--runtime-path", "../rt"});
    o = Start();
    const std::string folder = dir_.file("app");
    EXPECT_EQ(7, o.exitCode) << o.err;
    EXPECT_EQ(Received("FN_RunExecutable", "",
                       folder + "/../rt:" + folder + "/../rt/x64:" + kInheritedPath),
              o.out);
}

TEST_F(LauncherTest, RelativeXmlPathIsProbedInTheLauncherFolderNotTheCurrentOne) {
    // The launcher starts in dir_; each folder exists on one side only, holding a library
    // that does not load, so the message tells which side was probed.
    for (const std::string folder : {"app/beside", "current"}) {
        fs::create_directories(dir_.file(folder));
        dir_.write(folder + "/libcvvm.so", "not a library");
    }
    const std::pair<std::string, std::string> cases[] = {
        {"beside", "Load library failed! dll name: cvvm.dll, runtime path:beside"},
        {"current", "Runtime path not exist, path: current!" + kSolution},
    };
    for (const auto& [path, message] : cases) {
        Package({"--runtime-path", path, "--trailer", "PCA"});
        EXPECT_EQ(Box(message), Start().err) << path;
    }
}

TEST_F(LauncherTest, EmptyXmlRuntimePathStopsEvenWithARegisteredRuntime) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000", "--empty-runtime-path"});
    Registry(Registered("22.0.0.2000", rt));
    const Outcome o = Start();
    EXPECT_EQ(0, o.exitCode);
    EXPECT_EQ("", o.out);
    EXPECT_EQ(Box("The path specified in the XML file is incorrect!"), o.err);
}

TEST_F(LauncherTest, VersionSearchTakesTheLowestVersionAboveTheRequiredOne) {
    const std::string rt1900 = Runtime("rt1900");
    const std::string rt2100 = Runtime("rt2100");
    const std::string rt2300 = Runtime("rt2300");
    Package({"--version", "22.0.0.2000"});
    const std::string list = "[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime]\r\n"
                             "\"RuntimeVersion\"=\"22.0.0.2300,22.0.0.1900,22.0.0.2100,\"\r\n\r\n";
    Registry(list + Registered("22.0.0.1900", rt1900) + Registered("22.0.0.2100", rt2100) +
             Registered("22.0.0.2300", rt2300));
    Outcome o = Start();
    EXPECT_EQ(7, o.exitCode);
    EXPECT_EQ(Received("FN_RunExecutable", "", rt2100 + "/x64:" + kInheritedPath), o.out);

    Registry("[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime]\r\n"
             "\"RuntimeVersion\"=\"22.0.0.1900,22.0.0.1000,\"\r\n\r\n" +
             Registered("22.0.0.1900", rt1900));
    o = Start();
    EXPECT_EQ(0, o.exitCode);
    EXPECT_EQ("", o.out);
    EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: "
                  "22.0.0.2000"),
              o.err);
}

TEST_F(LauncherTest, DevelopmentEnvironmentEntryFollowsTheRuntimeEntries) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000"});
    Registry("[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane\\22.0]\r\n"
             "\"Location\"=\"/opt/corvane\"\r\n\"IPS Name\"=\"ips\"\r\n\r\n" +
             Registered("22.0.0.2000", rt));
    const Outcome o = Start();
    EXPECT_EQ(
        Received("FN_RunExecutable", "", rt + "/x64:/opt/corvane/ips/IDE/x64:" + kInheritedPath),
        o.out);
}

TEST_F(LauncherTest, FailureMessagesWithAndWithoutTrailer) {
    Registry("");
    for (const bool trailer : {false, true}) {
        SCOPED_TRACE(trailer ? "with trailer" : "without trailer");
        const std::string solution = trailer ? kSolution : "";
        std::vector<std::string> mark;
        if (trailer)
            mark = {"--trailer", "PSA"};
        auto package = [&](std::vector<std::string> options,
                           const std::string& launcher = LAUNCHER_PATH) {
            options.insert(options.end(), mark.begin(), mark.end());
            Package(options, launcher);
        };

        // 1: no runtime path at all (and no XML file left from the previous round).
        fs::remove(dir_.file("app/Sales.xml"));
        package({"--version", "22.0.0.2000"});
        EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: "
                      "22.0.0.2000"),
                  Start().err);
        // 2 and 3: the runtime folder does not exist.
        const std::string missing = dir_.file("missing-rt");
        package({"--runtime-path", missing});
        EXPECT_EQ(Box("Runtime path not exist, path: " + missing + "!" + solution), Start().err);
        // 4: a system runtime library is missing (test build naming missing libraries).
        const std::string empty = dir_.file("empty-rt");
        fs::create_directories(empty);
        package({"--runtime-path", empty}, LAUNCHER_MISSING_SYSTEM_RUNTIME_PATH);
        EXPECT_EQ(Box("The program can't start because libcvtest-missing-a.so is missing from "
                      "your computer."),
                  Start().err);
        // 5 (trailer) or 6: the folder exists without the library.
        package({"--runtime-path", empty});
        const Outcome o = Start();
        EXPECT_EQ(0, o.exitCode);
        EXPECT_EQ(trailer ? Box("The cvvm.dll file not exist, path: " + empty + "/libcvvm.so!" +
                                kSolution)
                          : Box("Load library failed! dll name: cvvm.dll, runtime path:" + empty),
                  o.err);
        // 6: the library is there but does not load.
        const std::string broken = dir_.file("broken-rt");
        fs::create_directories(broken);
        dir_.write("broken-rt/libcvvm.so", "not a library");
        package({"--runtime-path", broken});
        EXPECT_EQ(Box("Load library failed! dll name: cvvm.dll, runtime path:" + broken),
                  Start().err);
    }
}

TEST_F(LauncherTest, EntryChoiceArgumentsAndExitCodes) {
    Runtime("rt");
    Package({"--runtime-path", "../rt"});
    const std::string path =
        dir_.file("app") + "/../rt:" + dir_.file("app") + "/../rt/x64:" + kInheritedPath;
    Outcome o = Start({"run", "xCVHostAttachedDebugger", "a b"});
    EXPECT_EQ(Received("PD_HostAttachedTarget", "run xCVHostAttachedDebugger \"a b\"", path),
              o.out);
    o = Start({"cvhostattacheddebug"}, {{"SAMPLE_RUNTIME_EXIT_CODE", "-2"}});
    EXPECT_EQ(Received("FN_RunExecutable", "cvhostattacheddebug", path), o.out);
    EXPECT_EQ(254, o.exitCode);
    o = Start({""});
    EXPECT_EQ(Received("FN_RunExecutable", "\"\"", path), o.out);
}

TEST_F(LauncherTest, MissingEntryEndsWithMinusOne) {
    Runtime("rt", SAMPLE_RUNTIME_WITHOUT_ENTRIES_PATH);
    Package({"--runtime-path", dir_.file("rt")});
    const Outcome o = Start();
    EXPECT_EQ(255, o.exitCode);
    EXPECT_EQ("", o.out);
    EXPECT_EQ("", o.err);
}

TEST_F(LauncherTest, StartupNoticeOnlyForValuesBeginningWithT) {
    Runtime("rt");
    Package({"--runtime-path", dir_.file("rt")});
    for (const std::string& value :
         std::vector<std::string>{"t", "true", "TRUE", "T" + std::string(126, 'x')}) {
        const Outcome o = Start({}, {{"CV_STARTUP_DEBUG", value}});
        EXPECT_EQ("[cv app stub] Start to run 64-bit app\n", o.err) << value;
        EXPECT_EQ(7, o.exitCode);
    }
    for (const std::string& value :
         std::vector<std::string>{"1", "yes", "false", "", "T" + std::string(127, 'x')}) {
        EXPECT_EQ("", Start({}, {{"CV_STARTUP_DEBUG", value}}).err) << value;
    }
}

TEST_F(LauncherTest, TraceSwitchExplainsThePassedOverLocations) {
    Package({"--version", "22.0.0.2000"});
    Registry("");
    const Outcome o = Start({}, {{"CV_LAUNCHER_TRACE", "1"}});
    EXPECT_NE(std::string::npos,
              o.err.find("launcher: library beside the launcher passed over (not found): " +
                         dir_.file("app/libcvvm.so") + "\n"));
    EXPECT_NE(std::string::npos, o.err.find("launcher: XML file passed over"));
    EXPECT_NE(std::string::npos,
              o.err.find("launcher: registered version passed over (no Location): 22.0.0.2000"));
    EXPECT_EQ(std::string::npos, Start().err.find("launcher:"));
}

TEST_F(LauncherTest, RuntimeEntriesReachPathWhenTheInheritedPathIsUnsetOrEmpty) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000", "--runtime-path", rt});
    // Started with no PATH at all: the runtime entries become the whole PATH.
    const std::map<std::string, std::string> env = {
        {"WIN32COMPAT_REGISTRY_FILE", dir_.file("registry.reg")},
        {"SAMPLE_RUNTIME_EXIT_CODE", "7"}};
    Registry("");
    Outcome o = Run({App()}, env);
    EXPECT_EQ(7, o.exitCode) << o.err;
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + ":" + rt + "/x64"), o.out);

    // An empty PATH leaves no empty entry (the current folder) behind the runtime entries,
    // for the relative XML path, the registered runtime and the development environment.
    Package({"--version", "22.0.0.2000", "--runtime-path", "../rt"});
    const std::string folder = dir_.file("app");
    o = Start({}, {{"PATH", ""}});
    EXPECT_EQ(Received("FN_RunExecutable", "", folder + "/../rt:" + folder + "/../rt/x64"), o.out);

    fs::remove(dir_.file("app/Sales.xml"));
    Registry(Registered("22.0.0.2000", rt));
    o = Start({}, {{"PATH", ""}});
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + "/x64"), o.out);

    Registry("[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane\\22.0]\r\n"
             "\"Location\"=\"/opt/corvane\"\r\n\"IPS Name\"=\"ips\"\r\n\r\n" +
             Registered("22.0.0.2000", rt));
    o = Start({}, {{"PATH", ""}});
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + "/x64:/opt/corvane/ips/IDE/x64"), o.out);
}

TEST_F(LauncherTest, FifosNamedLikeTheXmlFileOrTheLocalLibraryCountAsAbsent) {
    const std::string rt = Runtime("rt");
    Package({"--version", "22.0.0.2000"});
    Registry(Registered("22.0.0.2000", rt));
    ASSERT_EQ(0, mkfifo(dir_.file("app/Sales.xml").c_str(), 0600));
    ASSERT_EQ(0, mkfifo(dir_.file("app/libcvvm.so").c_str(), 0600));
    const Outcome o = Start();
    EXPECT_EQ(7, o.exitCode) << o.err;
    EXPECT_EQ(Received("FN_RunExecutable", "", rt + "/x64:" + kInheritedPath), o.out);
}

TEST_F(LauncherTest, VersionSearchEdgesOfTheRegistry) {
    const std::string rt1900 = Runtime("rt1900");
    const std::string rt2100 = Runtime("rt2100");
    const std::string bare = dir_.file("bare");
    fs::create_directories(bare);
    auto list = [](const std::string& versions) {
        return "[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime]\r\n"
               "\"RuntimeVersion\"=\"" +
               versions + "\"\r\n\r\n";
    };

    // Without string 1005 the lowest non-empty version is tried; empty pieces are skipped.
    Package({});
    Registry(list(",,22.0.0.2100,,22.0.0.1900,,") + Registered("22.0.0.1900", rt1900) +
             Registered("22.0.0.2100", rt2100));
    Outcome o = Start();
    EXPECT_EQ(Received("FN_RunExecutable", "", rt1900 + "/x64:" + kInheritedPath), o.out);
    // ... and when it has no runtime, the message names an empty version.
    Registry(list("22.0.0.1900,"));
    o = Start();
    EXPECT_EQ(0, o.exitCode);
    EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: "), o.err);

    // A registered Location without the library falls to the version search.
    Package({"--version", "22.0.0.2000"});
    Registry(list("22.0.0.2100,") + Registered("22.0.0.2000", bare) +
             Registered("22.0.0.2100", rt2100));
    o = Start();
    EXPECT_EQ(Received("FN_RunExecutable", "", rt2100 + "/x64:" + kInheritedPath), o.out);

    // A required version of 10 characters is never looked up directly, but the search runs.
    Package({"--version", "22.0.0.200"});
    Registry(list("22.0.0.200,22.0.0.2100,") + Registered("22.0.0.200", rt1900) +
             Registered("22.0.0.2100", rt2100));
    o = Start();
    EXPECT_EQ(Received("FN_RunExecutable", "", rt2100 + "/x64:" + kInheritedPath), o.out);
    // Only entries of 11 characters succeed: the lowest one above is 12 characters long and
    // no further version is tried after it.
    Registry(list("22.0.0.20000,22.0.0.2100,") + Registered("22.0.0.20000", rt1900) +
             Registered("22.0.0.2100", rt2100));
    o = Start();
    EXPECT_EQ("", o.out);
    EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: 22.0.0.200"),
              o.err);
}

// A folder name that is not UTF-8 still leads to the launcher's own file: its string 1005 and
// its XML file are read, and the runtime folder reaches PATH byte for byte.
TEST_F(LauncherTest, ApplicationFolderWhoseNameIsNotUtf8) {
    appFolder_ = "caf\xE9 \xFF";
    const std::string folder = dir_.file(appFolder_);
    const std::string rt1900 = Runtime("rt1900");
    Registry("[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime]\r\n"
             "\"RuntimeVersion\"=\"22.0.0.1900,\"\r\n\r\n" +
             Registered("22.0.0.1900", rt1900));
    Runtime(appFolder_ + "/rt");

    Package({"--version", "22.0.0.2000", "--runtime-path", "rt"});
    Outcome o = Start();
    EXPECT_EQ(7, o.exitCode) << o.err;
    EXPECT_EQ(
        Received("FN_RunExecutable", "", folder + "/rt:" + folder + "/rt/x64:" + kInheritedPath),
        o.out);

    // Without the XML file only a lower version is installed: it must not be taken.
    fs::remove(App() + ".xml");
    o = Start();
    EXPECT_EQ(0, o.exitCode);
    EXPECT_EQ("", o.out);
    EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: "
                  "22.0.0.2000"),
              o.err);
}

// A required version that cannot be read, or a registry file that is no regular file, never
// leads to a runtime: the start ends with the "no matching version" message at once.
TEST_F(LauncherTest, UnreadableRequiredVersionOrRegistryFileTakesNoRuntime) {
    const std::string rt1900 = Runtime("rt1900");
    const std::string registered = "[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane Runtime]\r\n"
                                   "\"RuntimeVersion\"=\"22.0.0.1900,\"\r\n\r\n" +
                                   Registered("22.0.0.1900", rt1900);
    const struct {
        const char* what;
        std::string version;      // string 1005
        std::string registryKind; // "file", "fifo" or "folder"
        std::string shownVersion; // in the message
    } cases[] = {
        {"version longer than its buffer", "22.0.0.2000.0000000001", "file", ""},
        {"registry file is a FIFO", "22.0.0.1000", "fifo", "22.0.0.1000"},
        {"registry file is a folder", "22.0.0.1000", "folder", "22.0.0.1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Package({"--version", c.version});
        fs::remove_all(dir_.file("registry.reg"));
        if (c.registryKind == "file")
            Registry(registered);
        else if (c.registryKind == "fifo")
            ASSERT_EQ(0, mkfifo(dir_.file("registry.reg").c_str(), 0600));
        else
            fs::create_directories(dir_.file("registry.reg"));
        const Outcome o = Start();
        EXPECT_EQ(0, o.exitCode);
        EXPECT_EQ("", o.out);
        EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: " +
                      c.shownVersion),
                  o.err);
    }
}

TEST_F(LauncherTest, PackageAppRefusesWhatItCannotWrite) {
    fs::create_directories(dir_.file("app"));
    const std::vector<std::string> base = {PACKAGE_APP_PATH, "--launcher", LAUNCHER_PATH,
                                           "--output", App()};
    auto run = [&](std::vector<std::string> options, rlim_t limit = RLIM_INFINITY) {
        std::vector<std::string> args = base;
        args.insert(args.end(), options.begin(), options.end());
        return Run(args, {}, limit);
    };

    // The launcher reads no entities, so these characters cannot be written into the file.
    for (const char* path : {"/opt/a<b", "/opt/a>b", "/opt/a&amp;b", "/opt/\"a\""}) {
        const Outcome o = run({"--runtime-path", path});
        EXPECT_EQ(1, o.exitCode) << path;
        EXPECT_NE(std::string::npos, o.err.find("must not contain")) << o.err;
        EXPECT_FALSE(fs::exists(dir_.file("app/Sales.xml")));
    }

    // The XML file cannot be created (a folder has its name).
    fs::create_directories(dir_.file("app/Sales.xml"));
    Outcome o = run({"--runtime-path", "/opt/rt"});
    EXPECT_EQ(1, o.exitCode);
    EXPECT_NE(std::string::npos, o.err.find("cannot write " + dir_.file("app/Sales.xml"))) << o.err;
    fs::remove(dir_.file("app/Sales.xml"));

    // The trailer does not fit under a file size limit that the copy itself just meets.
    o = run({"--trailer", "PCA"}, static_cast<rlim_t>(fs::file_size(LAUNCHER_PATH)));
    EXPECT_EQ(1, o.exitCode);
    EXPECT_NE(std::string::npos, o.err.find("cannot write " + App())) << o.err;
    EXPECT_EQ(0, run({"--trailer", "PCA"}).exitCode);
}

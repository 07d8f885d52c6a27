// End-to-end: application copies of the built launcher in temporary folders, with their own
// registry file, XML file and runtime folders, started with a controlled environment. The
// sample runtime prints what it received; message boxes arrive on standard error. The cases
// shared with Windows come from scenarios.json; the ones below the table runner are
// Linux's own (current folder, unset PATH, FIFOs, file names that are not UTF-8, size limits).
#include "temp_dir.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

using nlohmann::json;

// One start of the scenario table: what scenarios.json names with placeholders and forward
// slashes is laid out here with Linux's names ({LIB} libcvvm.so, PATH entries joined by ':').
class LauncherScenario : public LauncherTest, public testing::WithParamInterface<json> {
protected:
    std::string Expand(std::string text) const {
        const std::pair<std::string, std::string> names[] = {
            {"{RT}", dir_.file("runtimes")},
            {"{APP}", dir_.file(appFolder_)},
            {"{INHERITED}", kInheritedPath},
            {"{LIB}", "libcvvm.so"},
            {"{SYSLIB}", "libcvtest-missing-a.so"}};
        for (const auto& [name, value] : names)
            for (size_t at; (at = text.find(name)) != std::string::npos;)
                text.replace(at, name.size(), value);
        return text;
    }

    std::vector<std::string> ExpandAll(const json& list) const {
        std::vector<std::string> texts;
        for (const std::string text : list)
            texts.push_back(Expand(text));
        return texts;
    }

    // The shared runtime folders: the library in the folder and in x64, except "empty"
    // (x64 only) and "broken" (a file that is no library); "gone" is never made.
    void MakeRuntimes() {
        for (const char* name : {"rt", "rt1900", "rt2100", "rt2300"})
            Runtime(std::string("runtimes/") + name);
        fs::create_directories(dir_.file("runtimes/empty/x64"));
        dir_.write("runtimes/broken/libcvvm.so", "not a library");
    }

    void LayOut(const json& files) {
        const std::string beside = appFolder_ + "/libcvvm.so";
        for (const std::string item : files) {
            if (item == "lib64") {
                fs::copy_file(SAMPLE_RUNTIME_PATH, dir_.file(beside));
            } else if (item == "noentries") {
                fs::copy_file(SAMPLE_RUNTIME_WITHOUT_ENTRIES_PATH, dir_.file(beside));
            } else if (item == "lib32") { // ELF header of a 32-bit x86 shared object
                dir_.write(beside, "\x7F"
                                   "ELF\x01\x01\x01" +
                                       std::string(9, '\0') + std::string("\x03\x00\x03\x00", 4) +
                                       std::string(200, '\0'));
            } else if (item.rfind("xml:", 0) == 0) {
                dir_.write(appFolder_ + "/Sales.xml",
                           "<?xml version=\"1.0\"?>\r\n<Application>\r\n  <RuntimePath>" +
                               Expand(item.substr(4)) + "</RuntimePath>\r\n</Application>\r\n");
            } else {
                FAIL() << "unknown file kind " << item;
            }
        }
    }

    std::string RegistryText(const json& registry) const {
        const std::string base = "[HKEY_LOCAL_MACHINE\\Software\\Meridot\\Corvane";
        std::string text;
        if (registry.contains("versions"))
            text += base + " Runtime]\r\n\"RuntimeVersion\"=\"" +
                    registry["versions"].get<std::string>() + "\"\r\n\r\n";
        const json runtimes = registry.value("runtimes", json::object());
        for (const auto& [version, folder] : runtimes.items())
            text += Registered(version, Expand(folder.get<std::string>()));
        if (registry.contains("ide"))
            text += base + "\\22.0]\r\n\"Location\"=\"" +
                    Expand(registry["ide"][0].get<std::string>()) + "\"\r\n\"IPS Name\"=\"" +
                    registry["ide"][1].get<std::string>() + "\"\r\n\r\n";
        return text;
    }
};

// A message box as the platform layer writes it: one line, CR, LF and backslash escaped.
std::string Escaped(const std::string& text) {
    std::string line;
    for (const char c : text)
        line += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\\' ? "\\\\" : std::string(1, c);
    return line + "\n";
}

TEST_P(LauncherScenario, Runs) {
    const json& s = GetParam();
    appFolder_ = "cases/0/app"; // as deep below the runtimes as under Wine
    MakeRuntimes();
    const std::string launcher = s.value("missing_system_library", false)
                                     ? LAUNCHER_MISSING_SYSTEM_RUNTIME_PATH
                                     : LAUNCHER_PATH;
    if (s.contains("repackage")) {
        Package(ExpandAll(s["repackage"]), launcher);
        fs::copy_file(App(), dir_.file("repackaged"));
        Package(ExpandAll(s["package"]), dir_.file("repackaged"));
    } else {
        Package(ExpandAll(s["package"]), launcher);
    }
    LayOut(s.value("files", json::array()));
    Registry(RegistryText(s.value("registry", json::object())));

    std::string boxes, received;
    for (const std::string box : s.value("boxes", json::array()))
        boxes += Escaped(Expand(box));
    if (s.contains("received")) {
        const json& r = s["received"];
        std::string path;
        for (const std::string& entry : ExpandAll(r["path"]))
            path += (path.empty() ? "" : ":") + entry;
        received = Received(r.value("entry", "FN_RunExecutable"), r.value("arguments", ""), path);
    }
    // A variable given a list of values runs the scenario once for each.
    std::string variable;
    std::vector<std::string> values = {""};
    const json env = s.value("env", json::object());
    for (const auto& [name, value] : env.items()) {
        variable = name;
        values = value.is_array() ? value.get<std::vector<std::string>>()
                                  : std::vector<std::string>{value.get<std::string>()};
    }
    for (const std::string& value : values) {
        std::map<std::string, std::string> env = {
            {"SAMPLE_RUNTIME_EXIT_CODE", std::to_string(s.value("runtime_exit", 0))}};
        if (!variable.empty())
            env[variable] = value;
        const Outcome o = Start(ExpandAll(s.value("args", json::array())), env);
        SCOPED_TRACE(variable + "=" + value);
        EXPECT_EQ(s.value("exit", 0) & 0xFF, o.exitCode); // a process exit status has 8 bits
        EXPECT_EQ(received, o.out);
        EXPECT_EQ(boxes, o.err);
    }
}

std::vector<json> Scenarios() {
    std::ifstream in(LAUNCHER_SCENARIOS_PATH);
    return json::parse(in)["scenarios"].get<std::vector<json>>();
}

INSTANTIATE_TEST_SUITE_P(Table, LauncherScenario, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<json>& info) {
                             std::string name;
                             bool upper = true;
                             for (const char c : info.param["name"].get<std::string>()) {
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += upper ? std::toupper(c) : c;
                                 upper = c == ' ';
                             }
                             return name;
                         });

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

// A registry file that is no regular file never leads to a runtime: the start ends with the
// "no matching version" message at once.
TEST_F(LauncherTest, RegistryFileThatIsNoRegularFileTakesNoRuntime) {
    Package({"--version", "22.0.0.1000"});
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "registry file is a FIFO" : "registry file is a folder");
        fs::remove_all(dir_.file("registry.reg"));
        if (fifo)
            ASSERT_EQ(0, mkfifo(dir_.file("registry.reg").c_str(), 0600));
        else
            fs::create_directories(dir_.file("registry.reg"));
        const Outcome o = Start();
        EXPECT_EQ(0, o.exitCode);
        EXPECT_EQ("", o.out);
        EXPECT_EQ(Box("There is currently no matching version, Lowest Supported Version: "
                      "22.0.0.1000"),
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

} // namespace

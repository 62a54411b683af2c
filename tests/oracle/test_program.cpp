// The program itself starts and stops the whole data-access library: run
// from a folder of its own without its database and without any Oracle
// client on the search paths, it ends with the database failure alone. In
// the sanitizer build a leak or a bad access at start-up or shutdown shows
// as a report and another exit status.

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Program, StartsAndStopsTheLibraryWithNoOracleClient) {
    const fs::path dir = fs::temp_directory_path() / ("tms_program_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "db");
    const fs::path exe = dir / "cangyitong";
    fs::copy_file(TMS_PROGRAM, exe);

    // Only the system's folders: no fake home, no client library.
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen",
                                    "TMS_DIALOG_LOG=" + (dir / "boxes.log").string(), "HOME=" + dir.string(),
                                    "TMPDIR=" + dir.string()};
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* v = std::getenv(name)) env.push_back(std::string(name) + "=" + v);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string errPath = (dir / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string exeText = exe.string();
    char* argv[] = {exeText.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, exeText.c_str(), &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    const std::string err = ReadAll(errPath);
    ASSERT_TRUE(WIFEXITED(status)) << err;
    EXPECT_EQ(WEXITSTATUS(status), 1) << err;  // the database could not be opened, nothing else
    EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
    EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
    EXPECT_EQ(ReadAll(dir / "boxes.log"), "message\t舱易通\t数据库连接失败\n");
    fs::remove_all(dir);
}

}  // namespace

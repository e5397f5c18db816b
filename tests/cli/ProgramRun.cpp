#include "ProgramRun.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadAndRemove(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    unlink(path.c_str());
    return text.str();
}

std::string TempFile(const char* tag) {
    std::string pattern = std::string("/tmp/calora-run-") + tag + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd >= 0)
        close(fd);
    return pattern;
}

ProgramResult Run(const std::string& program, const std::vector<std::string>& args, int outFd,
                  size_t fileSizeLimit, std::chrono::seconds limit) {
    ProgramResult result;
    // Files, not pipes: a chatty program can never block on a full pipe here.
    const std::string outPath = TempFile("out");
    const std::string errPath = TempFile("err");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(errPath.c_str(), O_WRONLY | O_TRUNC);
        dup2(in, 0);
        dup2(outFd >= 0 ? outFd : out, 1);
        dup2(err, 2);
        if (fileSizeLimit > 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit size{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &size);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid > 0) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                done = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (done == pid && WIFEXITED(status))
            result.exitStatus = WEXITSTATUS(status);
    }
    result.out = ReadAndRemove(outPath);
    result.err = ReadAndRemove(errPath);
    return result;
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::seconds limit) {
    return Run(program, args, -1, 0, limit);
}

ProgramResult RunProgramWithOutput(const std::string& program, const std::vector<std::string>& args,
                                   int outFd, std::chrono::seconds limit) {
    return Run(program, args, outFd, 0, limit);
}

ProgramResult RunProgramWithFileSizeLimit(const std::string& program,
                                          const std::vector<std::string>& args,
                                          size_t fileSizeLimit, std::chrono::seconds limit) {
    return Run(program, args, -1, fileSizeLimit, limit);
}

std::string TestBinary(const std::string& name) {
    const char* dir = std::getenv("CALORA_TEST_BIN");
    return dir ? std::string(dir) + "/" + name : std::string();
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

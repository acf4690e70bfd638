#include "tests/cli/cli_fixture.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>  // completes TempTree's member
#include <vector>

namespace trellisane::testing {

Result RunBinary(const QByteArrayList& args, const QByteArray& workingDir) {
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return {};
    std::vector<char*> argv{const_cast<char*>(TRELLISANE_CLI_PATH)};
    for (const QByteArray& arg : args) argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        if (::chdir(workingDir.constData()) != 0) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    Result result;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    QByteArray* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[65536];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, got);
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

QByteArray Cli::Root8() const { return QFile::encodeName(Root()); }

QByteArray Cli::MakeRaw(const QByteArray& name) const {
    EXPECT_EQ(::mkdir((Root8() + '/' + name).constData(), 0755), 0) << name.toStdString();
    return Root8() + '/' + name + '/';
}

bool Cli::Exists(const QByteArray& name) const {
    struct stat info {};
    return ::lstat((Root8() + '/' + name).constData(), &info) == 0;
}

}  // namespace trellisane::testing

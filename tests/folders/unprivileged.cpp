#include "tests/folders/unprivileged.h"

#include <grp.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "folders/subfolder_walk.h"

namespace trellisane::testing {

namespace {

/// Forks, runs `prepare` and then `body` in the child, and hands back what `body` wrote.
std::optional<QByteArray> RunInChild(const std::function<bool()>& prepare,
                                     const std::function<QByteArray()>& body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        close(pipeEnds[0]);
        if (!prepare()) _exit(2);
        const QByteArray output = body();
        qsizetype written = 0;
        while (written < output.size()) {
            const ssize_t n = write(pipeEnds[1], output.constData() + written,
                                    static_cast<size_t>(output.size() - written));
            if (n <= 0) _exit(3);
            written += n;
        }
        _exit(0);  // no destructors, no GoogleTest teardown in the child
    }
    close(pipeEnds[1]);
    QByteArray output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return output;
}

bool DropReadPower() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    const __u32 power = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective &= ~power;
    data[0].permitted &= ~power;
    data[0].inheritable &= ~power;
    return syscall(SYS_capset, &header, data) == 0;
}

bool LeaveFreeFiles(int free) {
    // The lowest free descriptor is the number of descriptors a limit of that size allows.
    const int lowest = dup(0);
    if (lowest < 0) return false;
    close(lowest);
    const auto size = static_cast<rlim_t>(lowest) + static_cast<rlim_t>(free);
    const rlimit limit{size, size};
    return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

}  // namespace

std::optional<QByteArray> RunWithoutReadPower(const std::function<QByteArray()>& body) {
    return RunInChild(DropReadPower, body);
}

std::optional<QByteArray> RunAsUser(unsigned uid, unsigned gid,
                                    const std::function<QByteArray()>& body) {
    return RunInChild(
        [uid, gid] {
            // The group first: once the user is no longer root, it cannot be changed.
            return setgroups(0, nullptr) == 0 && setresgid(gid, gid, gid) == 0 &&
                   setresuid(uid, uid, uid) == 0 && geteuid() == uid;
        },
        body);
}

bool UserCanReach(unsigned uid, unsigned gid, const QByteArray& path) {
    const auto reached = RunAsUser(uid, gid, [&path] {
        return QByteArray(::access(path.constData(), X_OK) == 0 ? "yes" : "no");
    });
    return reached == QByteArray("yes");
}

std::optional<QByteArray> RunWithoutFreeFiles(const std::function<QByteArray()>& body) {
    return RunWithFreeFiles(0, body);
}

std::optional<QByteArray> RunWithFreeFiles(int free, const std::function<QByteArray()>& body) {
    return RunInChild([free] { return LeaveFreeFiles(free); }, body);
}

QByteArray WalkAsText(QStringList folders) {
    QByteArray out;
    WalkHooks hooks;
    hooks.report = [&out](const QString& description, int line) {
        out += description.toUtf8() + '@' + QByteArray::number(line) + '\n';
    };
    GetSubDirectories2016(folders, true, hooks);
    return out + folders.join(u'\n').toUtf8();
}

}  // namespace trellisane::testing

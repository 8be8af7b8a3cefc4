#pragma once
// Starting another program from a benchmark: its standard error thrown
// away, its standard output too unless `outFd` takes it.

#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace bench {

// The child's pid, or -1 when it could not be started.
inline pid_t spawnQuiet(const std::vector<std::string>& args, char** env = environ, int outFd = -1)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace bench

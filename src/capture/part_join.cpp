#include "capture/part_join.h"

#include "capture/child_process.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
std::string exactSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

// Runs a program and returns what it printed on stdout, or "" if it failed.
std::string outputOf(const std::vector<std::string>& argv) {
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return "";
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string text;
    char buffer[4096];
    while (spawned == 0) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return "";
    }
    return text;
}

std::string absolute(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) == nullptr ? "" : std::string(resolved);
}
} // namespace

std::string partComment(const PartInfo& part) {
    return "heptad-capture part: frames " + std::to_string(part.frames.first) + " to " +
           std::to_string(part.frames.end) + " at " + std::to_string(part.fps) + " fps, " +
           std::to_string(part.width) + "x" + std::to_string(part.height);
}

bool parsePartComment(const std::string& comment, PartInfo& part) {
    char tail = 0;
    const int fields = std::sscanf(
        comment.c_str(), "heptad-capture part: frames %ld to %ld at %d fps, %dx%d%c",
        &part.frames.first, &part.frames.end, &part.fps, &part.width, &part.height, &tail);
    // A trailing newline from the probe is the only thing allowed after the size.
    return (fields == 5 || (fields == 6 && tail == '\n')) && part.frames.first >= 0 &&
           part.frames.count() > 0 && part.fps > 0 && part.width > 0 && part.height > 0;
}

std::string checkPartsFollow(const std::vector<PartInfo>& parts,
                             const std::vector<std::string>& names, PartInfo& whole) {
    whole = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) {
        const PartInfo& part = parts[i];
        if (part.fps != whole.fps || part.width != whole.width || part.height != whole.height) {
            return names[i] + " is " + std::to_string(part.width) + "x" +
                   std::to_string(part.height) + " at " + std::to_string(part.fps) + " fps, " +
                   names[0] + " " + std::to_string(whole.width) + "x" +
                   std::to_string(whole.height) + " at " + std::to_string(whole.fps) +
                   " fps: parts of one video share both";
        }
        if (part.frames.first != whole.frames.end) {
            return names[i] + " starts at frame " + std::to_string(part.frames.first) + " but " +
                   names[i - 1] + " ends before frame " + std::to_string(whole.frames.end) +
                   ": give the parts in time order, with no gap or overlap";
        }
        whole.frames.end = part.frames.end;
    }
    return "";
}

std::string concatList(const std::vector<std::string>& absolutePaths) {
    std::string list = "ffconcat version 1.0\n";
    for (const std::string& path : absolutePaths) {
        std::string quoted;
        for (char c : path) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        list += "file '" + quoted + "'\n";
    }
    return list;
}

std::string joinParts(const std::vector<std::string>& partFiles, const std::string& music,
                      const std::string& output, PartInfo& whole) {
    const std::string ffmpeg = findOnPath("ffmpeg");
    const std::string ffprobe = findOnPath("ffprobe");
    if (ffmpeg.empty() || ffprobe.empty()) {
        return "ffmpeg and ffprobe are needed to join parts (install the ffmpeg package)";
    }
    std::vector<PartInfo> parts;
    std::vector<std::string> paths;
    for (const std::string& file : partFiles) {
        const std::string path = absolute(file);
        if (path.empty()) {
            return "cannot read " + file + ": " + std::strerror(errno);
        }
        PartInfo part;
        const std::string comment =
            outputOf({ffprobe, "-v", "error", "-show_entries", "format_tags=comment", "-of",
                      "default=nw=1:nk=1", "file:" + path});
        if (!parsePartComment(comment, part)) {
            return file + " is not a part made by heptad-capture --part";
        }
        parts.push_back(part);
        paths.push_back(path);
    }
    const std::string mismatch = checkPartsFollow(parts, partFiles, whole);
    if (!mismatch.empty()) {
        return mismatch;
    }

    char listName[] = "/tmp/heptad-join-XXXXXX.txt";
    const int fd = mkstemps(listName, 4);
    if (fd < 0) {
        return std::string("cannot write the list of parts: ") + std::strerror(errno);
    }
    const std::string list = concatList(paths);
    const bool listWritten =
        write(fd, list.data(), list.size()) == static_cast<ssize_t>(list.size());
    close(fd);
    std::vector<std::string> args = {ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
                                     "-y",   "-f",           "concat",   "-safe",     "0",
                                     "-i",   listName};
    if (music.empty()) {
        args.insert(args.end(),
                    {"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=44100"});
    } else {
        args.insert(args.end(), {"-i", "file:" + music});
    }
    const double audioStart = frameSeconds(whole.frames.first, whole.fps);
    const double duration = frameSeconds(whole.frames.count(), whole.fps);
    // The picture's packets are copied; the sound is cut exactly as a one-process recording
    // cuts it, for the whole length at once.
    args.insert(args.end(),
                {"-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-af",
                 "atrim=start=" + exactSeconds(audioStart) + ",asetpts=PTS-STARTPTS,apad", "-c:a",
                 "aac", "-b:a", "192k", "-t", exactSeconds(duration), "-movflags", "+faststart",
                 "-f", "mp4", "file:" + output});
    ChildProcess joiner;
    std::string error;
    int status = -1;
    if (listWritten && joiner.start(args, false, false, -1, error)) {
        status = joiner.finish();
    }
    std::remove(listName);
    if (!listWritten) {
        return "cannot write the list of parts";
    }
    if (!error.empty()) {
        return error;
    }
    return status == 0
               ? ""
               : "ffmpeg could not join the parts (exit status " + std::to_string(status) + ")";
}

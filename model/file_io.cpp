// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace rq {

namespace {
std::string Reason(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}
}  // namespace

namespace {

const char* KindOf(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

}  // namespace

RegularFile OpenRegularFile(const std::string& path) {
  RegularFile f;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    f.error = errno;
    return f;
  }
  if ((f.kind = KindOf(st.st_mode)) != nullptr) return f;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    f.error = errno;
    return f;
  }
  if (::fstat(fd, &st) != 0 || (f.kind = KindOf(st.st_mode)) != nullptr) {
    f.error = f.kind != nullptr ? 0 : errno;
    ::close(fd);
    return f;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  f.fd = fd;
  f.size = static_cast<std::uint64_t>(st.st_size);
  return f;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error,
                                         std::size_t maxSize) {
  const RegularFile file = OpenRegularFile(path);
  if (file.error != 0) {
    error = Reason("cannot open", path, file.error);
    return std::nullopt;
  }
  if (file.kind != nullptr) {
    error = std::string(file.kind) == "a folder" ? Reason("cannot read", path, EISDIR)
                                                 : "cannot read " + path + ": it is " + file.kind +
                                                       "; only a regular file can be read";
    return std::nullopt;
  }
  const int fd = file.fd;
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Reason("cannot read", path, errno);
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > maxSize) {
      ::close(fd);
      error = "file too large: " + path;
      return std::nullopt;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

bool WriteFileAtomic(const std::string& target, const std::string& content, std::string& error) {
  // A file kept as a symlink stays one: the file it points to is replaced.
  std::string path = target;
  if (char* real = ::realpath(target.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmp = dir + (slash == std::string::npos ? "/." : ".") + base + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    error = Reason("cannot write", path, errno);
    return false;
  }
  // Keep the permissions of a file being replaced; new files get the usual 0644 less umask.
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= static_cast<mode_t>(~mask);
  }
  ::fchmod(fd, mode);

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    error = Reason("cannot write", path, err);
    return false;
  };
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    error = Reason("cannot write", path, err);
    return false;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    error = Reason("cannot write", path, err);
    return false;
  }
  return true;
}

}  // namespace rq

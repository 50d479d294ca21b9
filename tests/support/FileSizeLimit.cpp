#include "support/FileSizeLimit.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kvd507::test {
namespace {

void check(int result, const char* what) {
  if (result != 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  check(::sigaction(SIGXFSZ, &ignore, &previousAction_), "sigaction");
  check(::getrlimit(RLIMIT_FSIZE, &previousLimit_), "getrlimit");
  rlimit small = previousLimit_;
  small.rlim_cur = static_cast<rlim_t>(bytes);
  check(::setrlimit(RLIMIT_FSIZE, &small), "setrlimit");
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &previousLimit_);
  ::sigaction(SIGXFSZ, &previousAction_, nullptr);
}

}  // namespace kvd507::test

// A TCP relay on loopback that holds every byte for a fixed time in each direction, so a client
// that connects through it sees the round trip of a long line (10 ms each way gives 20 ms).
//
//   korvant_delay_proxy <target port> <one-way delay ms> <lifetime s>
//
// Listens on 127.0.0.1 at a free port, prints "port=<n>" on its first line, and relays each
// connection to 127.0.0.1:<target port>. It ends by itself after <lifetime s>, whatever is open,
// so a run that is interrupted leaves nothing behind for long. Only loopback addresses are used.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One socket, closed once by whoever lets go of it last.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Bytes of one direction, each block due at the time it arrived plus the delay. The queue is
// bounded, so a fast sender is held back as by a real line's buffers instead of filling memory.
class DelayedPipe {
 public:
  explicit DelayedPipe(std::chrono::milliseconds delay) : delay_(delay) {}

  // Blocks while the queue is full; false once the pipe is broken.
  bool Push(std::vector<char> block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return broken_ || queued_ < kMaxQueued; });
    if (broken_) return false;
    queued_ += block.size();
    blocks_.push_back({Clock::now() + delay_, std::move(block)});
    changed_.notify_all();
    return true;
  }
  void End() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }
  void Break() {
    std::lock_guard lock(mutex_);
    broken_ = true;
    changed_.notify_all();
  }
  // The next block once it is due; empty at the end of the stream or when the pipe broke.
  std::vector<char> Pop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (broken_) return {};
      if (!blocks_.empty()) {
        const auto due = blocks_.front().due;
        if (Clock::now() >= due) break;
        changed_.wait_until(lock, due);
        continue;
      }
      if (ended_) return {};
      changed_.wait(lock);
    }
    std::vector<char> block = std::move(blocks_.front().data);
    blocks_.pop_front();
    queued_ -= block.size();
    changed_.notify_all();
    return block;
  }

 private:
  static constexpr std::size_t kMaxQueued = 32 * 1024 * 1024;
  struct Block {
    Clock::time_point due;
    std::vector<char> data;
  };
  const std::chrono::milliseconds delay_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Block> blocks_;
  std::size_t queued_ = 0;
  bool ended_ = false;
  bool broken_ = false;
};

bool WriteAll(int fd, const std::vector<char>& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// One direction of one connection: a reader that stamps what arrives and a writer that passes it
// on when it is due. Both own the sockets they use, so the last thread out closes them.
void Relay(std::shared_ptr<Socket> from, std::shared_ptr<Socket> to,
           std::chrono::milliseconds delay) {
  auto pipe = std::make_shared<DelayedPipe>(delay);
  std::thread([from, to, pipe] {
    for (;;) {
      std::vector<char> block = pipe->Pop();
      if (block.empty()) break;
      if (!WriteAll(to->fd(), block)) {
        pipe->Break();
        shutdown(from->fd(), SHUT_RD);
        return;
      }
    }
    shutdown(to->fd(), SHUT_WR);
  }).detach();
  std::thread([from, to, pipe] {
    constexpr std::size_t kBlock = 256 * 1024;
    for (;;) {
      std::vector<char> block(kBlock);
      const ssize_t n = recv(from->fd(), block.data(), block.size(), 0);
      if (n <= 0) break;
      block.resize(static_cast<std::size_t>(n));
      if (!pipe->Push(std::move(block))) return;
    }
    pipe->End();
  }).detach();
}

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void NoDelay(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

long Number(const char* text, long low, long high) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) {
    std::fprintf(stderr, "korvant_delay_proxy: %s is not a number in %ld..%ld\n", text, low, high);
    std::exit(2);
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: korvant_delay_proxy <target port> <one-way delay ms> <lifetime s>\n");
    return 2;
  }
  const int target = static_cast<int>(Number(argv[1], 1, 65535));
  const std::chrono::milliseconds delay(Number(argv[2], 0, 1000));
  const auto deadline = Clock::now() + std::chrono::seconds(Number(argv[3], 1, 24 * 3600));
  std::signal(SIGPIPE, SIG_IGN);

  const Socket listener(socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = 0;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener.fd() < 0 ||
      bind(listener.fd(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener.fd(), 64) != 0 ||
      getsockname(listener.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("korvant_delay_proxy: cannot listen on 127.0.0.1");
    return 1;
  }
  std::printf("port=%d\n", ntohs(address.sin_port));
  std::fflush(stdout);

  while (Clock::now() < deadline) {
    pollfd waiting{listener.fd(), POLLIN, 0};
    if (poll(&waiting, 1, 200) <= 0) continue;
    const int client = accept(listener.fd(), nullptr, nullptr);
    if (client < 0) continue;
    auto clientSocket = std::make_shared<Socket>(client);
    const int server = ConnectLoopback(target);
    if (server < 0) continue;  // the client sees its connection closed
    auto serverSocket = std::make_shared<Socket>(server);
    NoDelay(client);
    NoDelay(server);
    Relay(clientSocket, serverSocket, delay);
    Relay(serverSocket, clientSocket, delay);
  }
  return 0;  // open relays end with the process
}

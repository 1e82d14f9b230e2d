#include "tests/realdrivers/harness/Machine.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace realdrivers {

namespace {

// The guest's ttyS1: an ISA 16550A, the only device whose far end can send a break.
// The guest's ttyS2: a PCI card that can be unplugged (the 8250_pci driver).
// The guest's ttyUSB0: an FTDI adapter on an xHCI controller (the ftdi_sio driver).
const std::vector<GuestDevice> Devices = {
    {"uart", "isa-serial,chardev=uart,index=1", "", "", true},
    {"pci", "pci-serial,chardev=pci,id=pcicard,addr=0x5", "pcicard",
     R"({"driver":"pci-serial","chardev":"pci","id":"pcicard","addr":"0x5"})", false},
    {"usb", "usb-serial,chardev=usb,id=ftdi,bus=xhci.0", "ftdi",
     R"({"driver":"usb-serial","chardev":"usb","id":"ftdi","bus":"xhci.0"})", false},
};

std::string SocketOptions(const std::string& id, int fd, bool telnet) {
  return "socket,id=" + id + ",fd=" + std::to_string(fd) + ",server=on,wait=off" + (telnet ? ",telnet=on" : "");
}

}  // namespace

const std::vector<GuestDevice>& GuestDevices() { return Devices; }

const GuestDevice* FindGuestDevice(const std::string& name) {
  for (const GuestDevice& device : Devices)
    if (name == device.name) return &device;
  return nullptr;
}

Machine::Socket Machine::MakeSocket(const std::string& name) {
  // An abstract address: nothing in the file system to clean up, and the process id keeps two
  // benches on one machine apart.
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string abstract = "quorvel-bench-" + std::to_string(getpid()) + "-" + name;
  std::memcpy(address.sun_path + 1, abstract.data(), abstract.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstract.size());
  Socket socket_;
  socket_.listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  socket_.connected = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_.listening < 0 || socket_.connected < 0 ||
      bind(socket_.listening, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(socket_.listening, 1) != 0 ||
      connect(socket_.connected, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    const std::string reason = std::strerror(errno);
    if (socket_.listening >= 0) close(socket_.listening);
    if (socket_.connected >= 0) close(socket_.connected);
    throw std::runtime_error("the socket for " + name + " could not be made: " + reason);
  }
  return socket_;
}

int Machine::Take(Socket& socket_) {
  const int fd = socket_.connected;
  socket_.connected = -1;
  return fd;
}

Machine::Machine(const Files& files) {
  console_ = MakeSocket("console");
  qmp_ = MakeSocket("qmp");
  for (const GuestDevice& device : Devices) devices_.push_back(MakeSocket(device.name));

  std::string command = "console=ttyS0,115200 loglevel=1 panic=-1 quorvel.bench=1";
  if (!files.filter.empty()) command += " quorvel.filter=" + files.filter;
  std::vector<std::string> args = {
      "qemu-system-x86_64", "-accel", "tcg", "-machine", "pc", "-m", "512", "-smp", "1",
      "-nodefaults", "-no-user-config", "-display", "none", "-no-reboot",
      "-kernel", files.kernel, "-initrd", files.initramfs,
      // The console is quiet but for emergencies, so kernel messages never cut into the lines
      // the harness reads; quorvel.bench tells the guest's programs where they run.
      "-append", command,
      "-chardev", SocketOptions("console", console_.listening, false), "-device", "isa-serial,chardev=console,index=0",
      "-chardev", SocketOptions("qmp", qmp_.listening, false), "-mon", "chardev=qmp,mode=control",
      "-device", "qemu-xhci,id=xhci"};
  for (std::size_t i = 0; i < Devices.size(); ++i) {
    args.insert(args.end(), {"-chardev", SocketOptions(Devices[i].name, devices_[i].listening, Devices[i].telnet),
                             "-device", Devices[i].qemuDevice});
  }
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<int> inherited = {console_.listening, qmp_.listening};
  for (const Socket& s : devices_) inherited.push_back(s.listening);

  const int log = open(files.log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  qemu_ = fork();
  if (qemu_ < 0) throw std::runtime_error(std::string("QEMU could not be started: ") + std::strerror(errno));
  if (qemu_ == 0) {
    // Only calls that are safe between fork and exec from here on.
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // the machine never outlives its harness
    for (int fd : inherited) fcntl(fd, F_SETFD, 0);
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, STDIN_FILENO);
    if (log >= 0) {
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (log >= 0) close(log);
  for (int fd : inherited) close(fd);
}

Machine::~Machine() {
  if (qemu_ > 0) {
    kill(qemu_, SIGKILL);
    waitpid(qemu_, nullptr, 0);
  }
  for (Socket* s : {&console_, &qmp_})
    if (s->connected >= 0) close(s->connected);
  for (Socket& s : devices_)
    if (s.connected >= 0) close(s.connected);
}

int Machine::Finish(std::chrono::milliseconds limit) {
  if (qemu_ <= 0) return -1;
  // A pidfd lets the wait for QEMU's end have a limit without polling its status.
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, qemu_, 0));
  if (pidfd >= 0) {
    pollfd pfd{pidfd, POLLIN, 0};
    poll(&pfd, 1, static_cast<int>(limit.count()));
    close(pidfd);
  }
  int status = 0;
  if (waitpid(qemu_, &status, WNOHANG) != qemu_) {
    kill(qemu_, SIGKILL);
    waitpid(qemu_, &status, 0);
  }
  qemu_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace realdrivers

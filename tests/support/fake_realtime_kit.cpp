#include "tests/support/fake_realtime_kit.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>

namespace {

FakeRealtimeKit& kitOf(void* userdata) {
    return *static_cast<FakeRealtimeKit*>(userdata);
}

int onMakeThreadRealtime(sd_bus_message* message, void* userdata, sd_bus_error* error) {
    uint64_t threadId = 0;
    uint32_t priority = 0;
    if (const int read = sd_bus_message_read(message, "tu", &threadId, &priority); read < 0) {
        return read;
    }
    std::string refusal;
    if (kitOf(userdata).makeThreadRealtime(threadId, priority, refusal) < 0) {
        return sd_bus_error_set(error, refusal.c_str(), "refused by the test");
    }
    return sd_bus_reply_method_return(message, "");
}

int onMaxPriority(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                  void* userdata, sd_bus_error*) {
    return sd_bus_message_append(reply, "i", kitOf(userdata).maxRealtimePriority);
}

int onRtTimeMax(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                void* userdata, sd_bus_error*) {
    return sd_bus_message_append(reply, "x", kitOf(userdata).rtTimeUSecMax);
}

const sd_bus_vtable kRealtimeKit[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("MakeThreadRealtime", "tu", "", onMakeThreadRealtime, 0),
    SD_BUS_PROPERTY("MaxRealtimePriority", "i", onMaxPriority, 0, 0),
    SD_BUS_PROPERTY("RTTimeUSecMax", "x", onRtTimeMax, 0, 0),
    SD_BUS_VTABLE_END,
};

// Either end of a socket pair as a bus connection; the server's end answers as a peer.
int startConnection(int fd, bool server, sd_bus** bus) {
    int result = sd_bus_new(bus);
    if (result < 0) {
        close(fd);
        return result;
    }
    result = sd_bus_set_fd(*bus, fd, fd);
    if (result >= 0 && server) {
        sd_id128_t id;
        sd_id128_randomize(&id);
        result = sd_bus_set_server(*bus, 1, id);
    }
    if (result >= 0) {
        result = sd_bus_start(*bus);
    }
    if (result < 0) {
        *bus = sd_bus_flush_close_unref(*bus);
    }
    return result;
}

}  // namespace

FakeRealtimeKit::FakeRealtimeKit(FakeScheduling& scheduling) : scheduling_(scheduling) {
    scheduling_.realtimeKitBus = [this](sd_bus** client) { return connect(client); };
}

FakeRealtimeKit::~FakeRealtimeKit() {
    scheduling_.realtimeKitBus = nullptr;
    for (std::thread& server : servers_) {
        server.join();
    }
}

std::vector<FakeRealtimeKit::Request> FakeRealtimeKit::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeRealtimeKit::makeThreadRealtime(uint64_t threadId, uint32_t priority,
                                        std::string& errorName) {
    std::lock_guard lock(mutex_);
    requests_.push_back(Request{threadId, priority});
    const bool withinLimits =
        scheduling_.limit(RLIMIT_RTTIME).hard <= static_cast<uint64_t>(rtTimeUSecMax) &&
        priority <= static_cast<uint32_t>(maxRealtimePriority);
    if (!refuseWith.empty() || !withinLimits || threadId != scheduling_.thread) {
        errorName = refuseWith.empty() ? SD_BUS_ERROR_ACCESS_DENIED : refuseWith;
        return -EPERM;
    }
    scheduling_.setState(Scheduling{SCHED_RR | SCHED_RESET_ON_FORK, static_cast<int>(priority)});
    return 0;
}

int FakeRealtimeKit::connect(sd_bus** client) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        return -errno;
    }
    servers_.emplace_back([this, fd = fds[0]] { serve(fd); });
    return startConnection(fds[1], false, client);
}

// Answers until the client hangs up.
void FakeRealtimeKit::serve(int fd) {
    sd_bus* bus = nullptr;
    if (startConnection(fd, true, &bus) < 0) {
        return;
    }
    sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/RealtimeKit1",
                             "org.freedesktop.RealtimeKit1", kRealtimeKit, this);
    while (true) {
        int result = sd_bus_process(bus, nullptr);
        if (result == 0) {
            result = sd_bus_wait(bus, UINT64_MAX);
        }
        if (result < 0) {
            break;
        }
    }
    sd_bus_flush_close_unref(bus);
}

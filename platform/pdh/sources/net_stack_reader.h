// Reads the network stack's files under /proc/net once per collect for every
// object that needs them.
#pragma once

#include <cerrno>
#include <optional>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/net_netstat.h"
#include "platform/pdh/sources/net_snmp.h"
#include "platform/pdh/sources/net_snmp6.h"
#include "platform/pdh/sources/sockstat.h"

namespace vantorel::pdh {

struct NetSnmpFile {
    using Value = sources::NetSnmp;
    static std::string path(const Roots& roots) { return roots.proc + "proc/net/snmp"; }
    static auto parse(std::string_view text) { return sources::parseNetSnmp(text); }
};
using NetSnmpSource = KernelFileSource<NetSnmpFile>;

struct NetNetstatFile {
    using Value = sources::NetNetstat;
    static std::string path(const Roots& roots) { return roots.proc + "proc/net/netstat"; }
    static auto parse(std::string_view text) { return sources::parseNetNetstat(text); }
};
using NetNetstatSource = KernelFileSource<NetNetstatFile>;

struct NetSnmp6File {
    using Value = sources::NetSnmp6;
    static std::string path(const Roots& roots) { return roots.proc + "proc/net/snmp6"; }
    static auto parse(std::string_view text) { return sources::parseNetSnmp6(text); }
};
using NetSnmp6Source = KernelFileSource<NetSnmp6File>;

struct SockstatFile {
    using Value = sources::Sockstat;
    static std::string path(const Roots& roots) { return roots.proc + "proc/net/sockstat"; }
    static auto parse(std::string_view text) { return sources::parseSockstat(text); }
};
using SockstatSource = KernelFileSource<SockstatFile>;

// A kernel without IPv6 has no sockstat6: it has no IPv6 sockets, which is a
// true zero for the counters that add them to the IPv4 ones. Any other failure
// is no value.
class Sockstat6Source {
public:
    using Value = sources::Sockstat;

    explicit Sockstat6Source(const Roots& roots) : file_(roots.proc + "proc/net/sockstat6") {}

    const Value* load(SourceCache& cache) {
        value_.reset();
        const int error = file_.read(cache.reader(), cache.buffer());
        if (error == ENOENT) {
            file_.close();
            value_.emplace();
            value_->tcp6InUse = value_->udp6InUse = value_->raw6InUse = value_->frag6InUse = 0;
        } else if (error == 0) {
            value_ = sources::parseSockstat(cache.buffer());
        }
        return value_ ? &*value_ : nullptr;
    }

private:
    KeptFile file_;
    std::optional<Value> value_;
};

}  // namespace vantorel::pdh

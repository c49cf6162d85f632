// The link engine: a stop-and-wait protocol driven by one 20 ms timer tick
// and one receive handler. At most one frame is in flight; every frame is
// sent by the tick; every reply is routed by the frame it answers. While no
// scale answers, the tick polls and, after 51 silent ticks, steps the port
// settings and reopens. A reply to a link poll identifies the model.
//
// Toolkit-free: it writes through an ILinkPort, asks the main window for
// everything visible through an ILinkHost, and hands transfer replies to an
// ILinkReplyHandler. Whoever owns the timer calls Timer1Timer every 20 ms
// while the timer is enabled; whoever owns the port delivers each received
// block to Comm1ReceiveData. Both run on one thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "link/link_host.h"
#include "link/link_port.h"
#include "link/link_state.h"
#include "link/reply_handler.h"

namespace plu {

inline constexpr char16_t kConnectingText[] = u"Connecting the scale.";
inline constexpr char16_t kConnectedText[] = u"The Scale is connected.";

class LinkEngine {
public:
    LinkEngine(ILinkPort& port, ILinkHost& host);
    LinkEngine(const LinkEngine&) = delete;
    LinkEngine& operator=(const LinkEngine&) = delete;

    LinkState& State() { return state_; }
    const LinkState& State() const { return state_; }

    // Transfer replies go here; none installed means they are ignored.
    void SetReplyHandler(ILinkReplyHandler* handler) { handler_ = handler; }

    // The timer tick. When the link has been silent too long it closes the
    // port, disables the timer, steps the port settings and calls the host's
    // ApplyAndOpen, whose error it lets through (the timer then stays off).
    void Timer1Timer();

    // A block received from the port (Buffer may be followed by the port's
    // extra zero byte; only BufferLength bytes are read).
    void Comm1ReceiveData(const void* Buffer, uint16_t BufferLength);

    // The port was (re)opened by ApplyAndOpen: await a reply to a link poll
    // sent at once, and start counting silent ticks afresh.
    void PortOpened();

    // Start-up: not connected, no silent ticks counted.
    void ResetLink();

private:
    void Identify(std::string_view body);
    void Send(const std::string& frame);

    ILinkPort& port_;
    ILinkHost& host_;
    ILinkReplyHandler* handler_ = nullptr;
    LinkState state_;
};

}  // namespace plu

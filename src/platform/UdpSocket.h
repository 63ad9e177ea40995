#pragma once
// A UDP socket of the operating system, IPv4. Each call reports failure by returning
// false and leaves the reason in `lastError` (an errno value); nothing here is fatal.
// The socket is closed by close() or the destructor. Main thread only.
#include <netinet/in.h>
#include <sys/socket.h>

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket() { close(); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool open();                            // a datagram socket
    bool setNonBlocking();                  // calls return at once instead of waiting
    bool setReceiveBufferSize(int bytes);   // the system's queue of received datagrams
    bool setBroadcast(bool on);             // may send to broadcast addresses
    bool bind(const sockaddr_in& address);  // to a local address and port (0: any port)
    bool getLocalAddress(sockaddr_in& address) const;
    void close();

    bool isOpen() const { return handle >= 0; }

    int handle = -1;    // the descriptor, -1 when closed
    int lastError = 0;  // errno of the last failed call
};

#pragma once
// The part of a network role that the object model consults when a state change comes
// from a remote call: which side this is, and whether a call received from the other
// side is running. The network layer's role carries these flags.
struct NetRoleFlags {
    bool bServer = false;
    bool bInsideServerCall = false;  // running a call received from the server
    bool bInsideClientCall = false;  // running a call received from a client
};

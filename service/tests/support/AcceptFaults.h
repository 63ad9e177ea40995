#pragma once
// Makes the process's accept4 fail with a chosen error while set, as the kernel does when
// it runs short of descriptors or memory, and counts the calls that failed. Every other
// call goes to the system's accept4.
class AcceptFaults {
public:
    // From now on every accept fails with `error`; 0 lets them through again. Clears the count.
    static void failWith(int error);
    // The accepts that have failed since the last `failWith`.
    static long failures();
};

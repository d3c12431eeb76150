// Marks what libvela50.so exports. Everything else in the library is hidden,
// so a class or factory a client uses must carry VELA_API.
#pragma once

#define VELA_API __attribute__((visibility("default")))

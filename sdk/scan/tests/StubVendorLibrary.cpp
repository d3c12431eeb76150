// Stands in for a vendor library: one entry point to find.
extern "C" __attribute__((visibility("default"))) int stub_add_one(int value) { return value + 1; }

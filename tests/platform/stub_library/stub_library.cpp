// A tiny plug-in for the loader tests: two exports, and (in the second library) a reference to a
// function no library defines, which an immediate-binding load must refuse.

extern "C" {

__attribute__((visibility("default"))) int stub_answer() {
    return 42;
}

__attribute__((visibility("default"))) int stub_twice(int x) {
    return 2 * x;
}

#ifdef STUB_UNRESOLVED
int stub_function_nobody_defines();
__attribute__((visibility("default"))) int stub_calls_missing() {
    return stub_function_nobody_defines();
}
#endif
}

// A broken language library for the loader tests: texts, but no language name export.
#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))

FIXTURE_EXPORT const char* DllLengGetTexto(int id) {
    return id == 2 ? "Nameless" : nullptr;
}

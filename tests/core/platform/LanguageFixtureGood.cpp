// A small language library for the loader tests: a name and two texts.
#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))

FIXTURE_EXPORT const char* DllLengGetNombreIdioma() {
    return "Fixture";
}

FIXTURE_EXPORT const char* DllLengGetTexto(int id) {
    switch (id) {
    case 2:
        return "Fixture open";
    case 3:
        return "Fixture save";
    default:
        return nullptr;
    }
}

// A module that forgot one of the two names the host resolves.
extern "C" __attribute__((visibility("default"))) void* NewInterface()
{
    return nullptr;
}

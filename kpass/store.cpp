#include "kpass/store.h"

#include <new>

kpass_store* kpass_new_store() {
    void* block = kpass_secure_allocate(sizeof(kpass_store));
    return new (block) kpass_store();
}

void kpass_delete_store(kpass_store* store) noexcept {
    if (store == nullptr) return;
    store->~kpass_store();
    kpass_secure_release(store, sizeof(kpass_store));
}

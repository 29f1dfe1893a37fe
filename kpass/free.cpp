#include "kpass/kpass.h"
#include "kpass/store.h"

void kpass_free_db(kpass_db* db) {
    if (db == nullptr) return;
    kpass_delete_store(db->store);  // wipes the records and the contents
    db->store = nullptr;
    db->groups = nullptr;
    db->entries = nullptr;
    db->group_count = 0;
    db->entry_count = 0;
}

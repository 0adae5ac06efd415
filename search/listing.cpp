#include "search/listing.h"

void pauseListing() {
    char reply[50];
    say("\nHit return to continue search ");
    readLine(reply, sizeof reply);
}

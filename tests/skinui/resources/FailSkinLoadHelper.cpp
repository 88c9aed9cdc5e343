// Ends the way a window whose skin cannot be built ends.
#include "skinui/resources/SkinResources.h"

using namespace skinui::resources;

int main() {
    FailSkinLoad();
}

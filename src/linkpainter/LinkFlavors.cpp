#include "linkpainter/LinkFlavors.h"

#include "text/Win1252.h"

#include <algorithm>
#include <iterator>

namespace kv {

namespace {

constexpr std::uint32_t kGreen = 0x008000;

constexpr TLinkFlavorInfo Visible(const char* name) { return {name, kGreen, false}; }
constexpr TLinkFlavorInfo Hidden(const char* name) { return {name, kGreen, true}; }

// A letter item holds at most this many entries in one menu column.
constexpr std::size_t kMenuColumn = 12;

} // namespace

// Indexed by the flavor number mission files store.
const std::array<TLinkFlavorInfo, kLinkFlavorCount> LinkFlavors = {{
    Hidden(""),
    Hidden("MetaProp"),
    Visible("Contains"),
    Hidden("Receptron"),
    Visible("StimSensor"),
    Hidden("ReactParam"),
    Visible("Corpse"),
    Visible("Flinderize"),
    Visible("CulpableFor"),
    Hidden("arSrc"),
    Hidden("arSrcDesc"),
    Visible("HostObj"),
    Visible("PlayerFactory"),
    Visible("Firer"),
    Visible("FrobProxy"),
    Visible("CurWeapon"),
    Visible("WeaponOffset"),
    Visible("Weapon"),
    Visible("WHInflated"),
    Visible("WHBlock"),
    Visible("Lock"),
    Visible("FlowContact"),
    Visible("ScriptContact"),
    Visible("SoundDescription"),
    Visible("ControlDevice"),
    Visible("Route"),
    Visible("ScriptParams"),
    Visible("Owns"),
    Visible("Population"),
    Visible("Transmute"),
    Visible("OldConversation"),
    Visible("CreatureAttachment"),
    Visible("CorpsePart"),
    Visible("NowPicking"),
    Visible("RenderFlash"),
    Visible("Projectile"),
    Visible("GunFlash"),
    Visible("VoiceOver"),
    Visible("AIConversationActor"),
    Visible("AIProjectile"),
    Visible("AIPtDibs"),
    Visible("AIPatrol"),
    Visible("AICurrentPatrol"),
    Visible("AIAttack"),
    Visible("AITarget"),
    Visible("AIRangedWeapon"),
    Visible("AIFleeSource"),
    Visible("AIFleeDest"),
    Visible("AINoFlee"),
    Visible("AIFleeTo"),
    Visible("AIWatchObj"),
    Visible("AIDefendObj"),
    Visible("AICamera"),
    Visible("AIRetreatPtDibs"),
    Visible("AIVantagePtDibs"),
    Visible("AIFollowObj"),
    Visible("AIDoor"),
    Visible("AIInvest"),
    Visible("AIAwareness"),
    Visible("AISuspiciousLink"),
    Visible("TPath"),
    Visible("TPathInit"),
    Visible("TPathNext"),
    Visible("PhysAttach"),
    Visible("VoiceLink"),
    Visible("ParticleAttachement"),
}};

bool IsVisibleFlavor(int flavor) noexcept {
    return flavor >= 0 && flavor < kLinkFlavorCount &&
           !LinkFlavors[static_cast<std::size_t>(flavor)].Hidden;
}

std::vector<int> SortedVisibleFlavors() {
    std::vector<int> flavors;
    for (int i = 0; i < kLinkFlavorCount; ++i) {
        if (IsVisibleFlavor(i)) flavors.push_back(i);
    }
    std::stable_sort(flavors.begin(), flavors.end(), [](int a, int b) {
        return AnsiCompareText(LinkFlavors[static_cast<std::size_t>(a)].Name,
                               LinkFlavors[static_cast<std::size_t>(b)].Name) < 0;
    });
    return flavors;
}

std::vector<TFlavorMenuEntry> FlavorMenu() {
    std::vector<TFlavorMenuEntry> menu;
    for (const int flavor : SortedVisibleFlavors()) {
        const std::string name = LinkFlavors[static_cast<std::size_t>(flavor)].Name;
        std::vector<TFlavorMenuEntry>* parent = &menu;
        if (!name.empty()) {
            const char letter = AnsiUpperChar(name.front());
            if (letter >= 'A' && letter <= 'Z') {
                const std::string caption(1, letter);
                auto found = std::find_if(menu.begin(), menu.end(), [&](const auto& entry) {
                    return entry.Flavor == -1 && entry.Caption == caption;
                });
                if (found == menu.end()) {
                    TFlavorMenuEntry item;
                    item.Caption = caption;
                    menu.push_back(std::move(item));
                    found = std::prev(menu.end());
                }
                parent = &found->Children;
            }
        }
        TFlavorMenuEntry item;
        item.Caption = name;
        item.Flavor = flavor;
        parent->push_back(std::move(item));
        parent->back().NewColumn = parent->size() % kMenuColumn == 0;
    }
    return menu;
}

} // namespace kv

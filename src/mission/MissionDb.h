// What the chunks of a DromEd mission mean: object names, metaproperty ancestry, brushes,
// properties and links, delivered record by record through callbacks. Nothing of a mission
// survives an operation; callers build their own tables from the callbacks.
#pragma once

#include "items/BrushInfo.h"
#include "mission/MissionFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

using TBrushEvent = std::function<void(TBrushKind kind, std::int32_t brushNum, std::int32_t objId,
                                       const std::string& name)>;
// Data points into a chunk buffer and is valid only during the call.
using TPropEvent =
    std::function<void(std::int32_t objId, const std::string& objName, const std::string& propName,
                       std::span<const std::uint8_t> data, std::uint32_t tag)>;
// Data is empty when the link has none.
using TLinkEvent =
    std::function<void(std::int32_t source, std::int32_t dest, const std::string& sourceName,
                       const std::string& destName, int flavor, std::span<const std::uint8_t> data,
                       std::uint32_t tag)>;
// False when the link of Source to Dest is of no interest, so that its names are not looked up.
using TLinkWanted = std::function<bool(std::int32_t source, std::int32_t dest, int flavor)>;
using TLinkRecordEvent =
    std::function<void(std::int32_t linkId, std::int32_t source, std::int32_t dest, int flavor)>;
// A message for the user from inside an operation ("Gamesys not found: ..."); the GUI shows a
// message box, the command line prints a warning. The operation goes on afterwards.
using TUserMessageEvent = std::function<void(const std::string& message)>;

struct TSanityFindings;

struct TReadBrushListParams {
    std::filesystem::path FileName;
    TBrushEvent OnBrush;                        // unset: the brush list is not read
    bool UseBrushIDs = false;                   // the brushes' own IDs, else running numbers from 1
    std::vector<std::string>* Report = nullptr; // set: the sanity check appends its lines
    TSanityFindings* Findings = nullptr;        // and, when set too, its records
};

// A property or flavor name with its mode: for properties 0 own values, 1 own value or the
// first inherited one, 2 own and every inherited value; for links a bit set, 1 load link data,
// 2 links from the object set, 4 links to it.
struct TNamedMode {
    std::string Name;
    int Mode = 0;
};

struct TReadPropsParams {
    std::filesystem::path FileName;
    std::filesystem::path GamesysDir; // first folder the gamesys is looked for in
    std::optional<std::vector<TNamedMode>> Props;
    std::optional<std::vector<TNamedMode>> Links;
    std::optional<std::vector<std::int32_t>> Objects; // none: every object brush, in file order
    // The inherited values of the objects may come in ascending order of the objects' IDs
    // instead of theirs, which is faster in a large mission.
    bool AnyOrder = false;
    TPropEvent OnProp;
    TLinkEvent OnLink;
    TLinkWanted LinkWanted; // unset: every link OnLink may see
    std::uint32_t Tag = 0;
    TUserMessageEvent OnMessage;
};

// Names longer than DromEd lets a user give anything (its name fields take 255 characters)
// are shown cut to that length with "..." after it, so that a report repeating a hostile name
// stays in proportion to the file. Shorter names are appended unchanged.
inline constexpr std::size_t kMaxShownNameLength = 255;
void AppendShownName(std::string& out, std::string_view name);

void ReadBrushList(const TReadBrushListParams& params);
void ReadProps(const TReadPropsParams& params);
// Every link of the mission, optionally only those between objects of the filter and of the
// flavors of the filter. Without a callback nothing is read.
void ReadLinks(const std::filesystem::path& fileName, const std::vector<std::int32_t>* objects,
               const std::vector<int>* flavors, const TLinkRecordEvent& onLink);

// The name chunks and metaproperty links of one open file, indexed once so that the many
// lookups of an operation do not walk the chunks again; each index is built by the first lookup
// that needs it. Not for use from several threads at once. Results are those of walking the
// chunks in file order: the first matching record wins.
class TMissionNames {
public:
    // Loads P$SymName, OBJ_MAP, L$MetaProp and LD$MetaProp (each may be missing).
    void Load(TMissionFile& file);

    // "" for ID 0; P$SymName, then OBJ_MAP; with Archetype, else "A "/"An " + the name of the
    // destination of the cheapest metaproperty link.
    [[nodiscard]] std::string GetObjectName(std::int32_t objId, bool withArchetype) const;
    // The same name appended to Out.
    void AppendObjectName(std::int32_t objId, bool withArchetype, std::string& out) const;
    // Appends the metaproperty ancestors of ObjID, depth first, highest priority first. An ID
    // already on the path is not entered again, so cyclic links end.
    void GetMetaPropAncestors(std::int32_t objId, std::vector<std::int32_t>& list) const;
    // The same across a mission and its gamesys: the links of IDs of 0 or less come from the
    // gamesys when its L$MetaProp was loaded, all others from this file.
    void GetMetaPropAncestors(std::int32_t objId, std::vector<std::int32_t>& list,
                              const TMissionNames* gamesys) const;
    // True when L$MetaProp was loaded.
    [[nodiscard]] bool HasMetaProps() const;

    // Loads only L$MetaProp and LD$MetaProp, as for a gamesys, whose names are never used.
    void LoadMetaProps(TMissionFile& file);

private:
    friend class TMetaPropAncestry;
    struct TImpl;
    std::shared_ptr<const TImpl> impl_;
};

// The metaproperty ancestors of many objects of one mission and its gamesys (may be null), the
// same lists as TMissionNames::GetMetaPropAncestors gives, with the ancestry of every archetype
// walked only once. Both name sets must outlive it.
class TMetaPropAncestry {
public:
    TMetaPropAncestry(const TMissionNames& mission, const TMissionNames* gamesys);
    ~TMetaPropAncestry();
    TMetaPropAncestry(const TMetaPropAncestry&) = delete;
    TMetaPropAncestry& operator=(const TMetaPropAncestry&) = delete;

    void Get(std::int32_t objId, std::vector<std::int32_t>& list);

    // The first ancestor of ObjID, in the order Get lists them, for which the filter holds;
    // none when no ancestor does. Each archetype's answer is kept until the filter is set again,
    // so that objects sharing ancestors, however often the links branch and join, cost only
    // their own links. Throws as Get does when the list would be too long.
    void SetFilter(std::function<bool(std::int32_t ancestor)> filter);
    [[nodiscard]] std::optional<std::int32_t> FirstMatch(std::int32_t objId);
    // Metaproperty links followed so far, by every method: a measure of the work done.
    [[nodiscard]] std::uint64_t LinksFollowed() const;

private:
    friend class TMissionNames;
    struct TState;
    std::unique_ptr<TState> state_;
};

// The gamesys named by a mission: GamesysDir + name, else the mission's folder + name, each
// found ignoring letter case on file systems that do not. Empty when neither exists; FirstTry
// receives the first path tried (for the message).
[[nodiscard]] std::filesystem::path FindGamesys(const std::filesystem::path& gamesysDir,
                                                const std::filesystem::path& missionFile,
                                                const std::string& gamFileName,
                                                std::filesystem::path* firstTry = nullptr);

} // namespace kv

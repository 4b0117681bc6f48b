#pragma once
// One curve of a graph: its point set and how it is shown.
//
// Colours are COLORREF values (0x00BBGGRR). keepPens says whether the
// drawing code may keep the curve's pen and brush between passes; the
// drawing objects themselves belong to the drawing code, which builds them
// from the colour (a solid pen of width 1 and a solid brush).
//
// id is -1 for a curve made by the graph window; a property copy edited by
// the "Graphs" page holds the slot index of the curve it was copied from.

#include <cstdint>
#include <string>

#include "graph/points_collection.h"

class CGraphProps : public CPointsCollection {
public:
    CGraphProps(uint32_t colour, std::string title, bool visible, bool keep_pens, int id, bool sorted,
                bool allow_duplicates);
    // A property copy: no points (sorted, no duplicates), the other curve's
    // properties through CopyProperties.
    explicit CGraphProps(const CGraphProps& other);
    CGraphProps& operator=(const CGraphProps&) = delete;
    virtual ~CGraphProps();

    // keepPens, colour, title, visible flag and id of the other curve;
    // never its points.
    void CopyProperties(const CGraphProps& other);
    void SetColor(uint32_t colour) { colour_ = colour; }

    uint32_t GetColor() const { return colour_; }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool KeepsPens() const { return keep_pens_; }
    int GetId() const { return id_; }
    void SetId(int id) { id_ = id; }

private:
    bool keep_pens_ = false;
    uint32_t colour_ = 0;
    std::string title_;
    bool visible_ = true;
    int id_ = -1;
};

#include "graph/graph_props.h"

#include <utility>

CGraphProps::CGraphProps(uint32_t colour, std::string title, bool visible, bool keep_pens, int id, bool sorted,
                         bool allow_duplicates)
    : CPointsCollection(sorted, allow_duplicates),
      keep_pens_(keep_pens),
      colour_(colour),
      title_(std::move(title)),
      visible_(visible),
      id_(id) {}

CGraphProps::CGraphProps(const CGraphProps& other) : CPointsCollection(true, false) { CopyProperties(other); }

CGraphProps::~CGraphProps() = default;

void CGraphProps::CopyProperties(const CGraphProps& other) {
    keep_pens_ = other.keep_pens_;
    SetColor(other.colour_);
    title_ = other.title_;
    visible_ = other.visible_;
    id_ = other.id_;
}

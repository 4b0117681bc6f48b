#pragma once
// An operation over a track's sections that treats straights and curves
// differently without the sections knowing it (Track::Accept calls one of
// these per section, in lap order).

class Curve;
class Straight;

class SectionVisitor {
public:
    virtual ~SectionVisitor() = default;

    virtual void VisitCurve(const Curve& curve) = 0;
    virtual void VisitStraight(const Straight& straight) = 0;
};

#pragma once
// The rectangular grid of surface points that every 3D picture is drawn
// from. Node (i, j) holds one point in world coordinates; the nodes (i, j),
// (i+1, j), (i+1, j+1), (i, j+1) form one cell of the surface.

#include <vector>

namespace kalvo {

struct TSurfPoint {
    double x = 0, y = 0, z = 0;
    friend bool operator==(const TSurfPoint&, const TSurfPoint&) = default;
};

class TFlaeche {
public:
    // Highest node index in either direction: at most 201 x 201 nodes.
    static constexpr int kMaxIndex = 200;

    // Nodes 0..xgrid x 0..ygrid, each at (0, 0, 0). A negative count gives a
    // grid without nodes; a count above kMaxIndex is held at it, so that a
    // caller's slip cannot make the grid unbounded.
    TFlaeche(int xgrid, int ygrid);

    int xMasche() const { return Fxm; }
    int yMasche() const { return Fym; }

    // Stores the point of node (i, j); outside the grid the write is dropped.
    void Make(int i, int j, double x, double y, double z);
    // The point of node (i, j); outside the grid (0, 0, 0), not the nearest node.
    TSurfPoint D3Point(int i, int j) const;

private:
    bool Inside(int i, int j) const { return i >= 0 && i <= Fxm && j >= 0 && j <= Fym; }

    int Fxm = -1;
    int Fym = -1;
    // Row-major by i; one block instead of a record per node.
    std::vector<TSurfPoint> FFloatFlaeche;
};

}  // namespace kalvo

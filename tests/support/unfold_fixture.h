#pragma once
// A test fixture for the unfolding engine: a session of its own with a
// recording listener, and a model taken up as the session takes up a newly
// loaded one.
#include "support/model_builders.h"
#include "support/recording_listener.h"
#include "unfold/take_up_model.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nettor::test {

class UnfoldTest : public ::testing::Test {
protected:
    // Makes the model current and prepares it.
    Model& take(std::unique_ptr<Model> model)
    {
        session.model = std::move(model);
        takeUpModel(session, *session.model);
        return *session.model;
    }
    Model& take(const MeshSpec& spec) { return take(buildModel(spec)); }

    static int countState(const Model& model, EdgeState state)
    {
        int n = 0;
        for (auto& object : model.objects)
            n += static_cast<int>(std::count_if(object->edges.begin(), object->edges.end(),
                                                [&](const Edge* e) { return e->state == state; }));
        return n;
    }

    // The edge between two corners given by their vertex ids, or null.
    static Edge* edgeBetween(const Model& model, int id1, int id2)
    {
        for (auto& object : model.objects)
            for (Edge* e : object->edges)
                if ((e->vertex1->id == id1 && e->vertex2->id == id2) ||
                    (e->vertex1->id == id2 && e->vertex2->id == id1))
                    return e;
        return nullptr;
    }

    Session session;
    RecordingListener listener{session};
};

} // namespace nettor::test

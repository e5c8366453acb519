// The same statements in Lua 5.4, linked into the script benchmark when the
// system has Lua, so both run side by side: o:SetPosition(1, 2, 3) through a
// C function on the same object, and a three-level find by child name (a C
// function walking the children as a script path does) followed by the call.
// Objects reach Lua as light userdata sharing one metatable. Each benchmark
// iteration runs a Lua loop of kCalls statements; items are statements.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include "bench/BenchTree.h"
#include "core/CommandRegistry.h"

namespace tge {
namespace {

constexpr int kCalls = 1000;

Object* ToObject(lua_State* lua, int index) { return static_cast<Object*>(lua_touserdata(lua, index)); }

int SetPosition(lua_State* lua) {
  const Vector3 position{static_cast<float>(luaL_checknumber(lua, 2)), static_cast<float>(luaL_checknumber(lua, 3)),
                         static_cast<float>(luaL_checknumber(lua, 4))};
  if (Object* object = ToObject(lua, 1)) object->SetPosition(position, true);
  return 0;
}

int Find(lua_State* lua) {
  const Object* object = ToObject(lua, 1);
  std::size_t length = 0;
  const char* name = luaL_checklstring(lua, 2, &length);
  const std::string_view wanted(name, length);
  for (int i = 0; object != nullptr && i < object->GetChildCount(); ++i) {
    Object* child = object->GetChild(i);
    if (child->GetName() == wanted) {
      lua_pushlightuserdata(lua, child);
      return 1;
    }
  }
  lua_pushnil(lua);
  return 1;
}

void RunLua(benchmark::State& state, const char* statement) {
  FreeCommandRegistry();
  RegisterBaseCommands();
  Object* deepest = nullptr;
  auto root = BuildBenchTree(deepest);
  lua_State* lua = luaL_newstate();
  luaL_openlibs(lua);
  lua_pushlightuserdata(lua, nullptr);
  lua_newtable(lua);
  lua_newtable(lua);
  lua_pushcfunction(lua, SetPosition);
  lua_setfield(lua, -2, "SetPosition");
  lua_pushcfunction(lua, Find);
  lua_setfield(lua, -2, "Find");
  lua_setfield(lua, -2, "__index");
  lua_setmetatable(lua, -2);
  lua_pop(lua, 1);
  lua_pushlightuserdata(lua, deepest);
  lua_setglobal(lua, "o");
  lua_pushlightuserdata(lua, root.get());
  lua_setglobal(lua, "root");
  const std::string chunk = "return function() for i = 1, " + std::to_string(kCalls) + " do " + statement + " end end";
  if (luaL_dostring(lua, chunk.c_str()) != LUA_OK) {
    state.SkipWithError(lua_tostring(lua, -1));
    lua_close(lua);
    return;
  }
  const int loop = luaL_ref(lua, LUA_REGISTRYINDEX);
  for (auto _ : state) {
    lua_rawgeti(lua, LUA_REGISTRYINDEX, loop);
    lua_call(lua, 0, 0);
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
  lua_close(lua);
  benchmark::DoNotOptimize(deepest->GetPosition());
  FreeCommandRegistry();
}

void BM_LuaCallOnObject(benchmark::State& state) { RunLua(state, "o:SetPosition(1, 2, 3)"); }
BENCHMARK(BM_LuaCallOnObject);

void BM_LuaFindThreeLevelsThenCall(benchmark::State& state) {
  RunLua(state, "root:Find('A8'):Find('B9'):Find('C9'):SetPosition(1, 2, 3)");
}
BENCHMARK(BM_LuaFindThreeLevelsThenCall);

}  // namespace
}  // namespace tge

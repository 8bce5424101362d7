<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>zel</name>
    <message>
        <source>в профиле %1 нет значений с положениями электродов</source>
        <translation>profile %1 has no values with electrode positions</translation>
    </message>
    <message>
        <source>в профиле %1 нет значений с током и напряжением</source>
        <translation>profile %1 has no values with current and voltage</translation>
    </message>
    <message>
        <source>в профиле %1 ни для одного значения нельзя вычислить геометрический коэффициент: электроды стоят в одном месте (например, B = M)</source>
        <translation>profile %1 has no value whose geometric factor can be computed: electrodes stand at one place (B = M, for instance)</translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены или отмечены проверкой данных</source>
        <translation>every value of profile %1 is excluded or flagged by the data check</translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены</source>
        <translation>every value of profile %1 is excluded</translation>
    </message>
    <message>
        <source>Итерация %1: χ² %2 (цель %3), RRMS %4 %, λ %5, %6 с</source>
        <translation>Iteration %1: χ² %2 (target %3), RRMS %4 %, λ %5, %6 s</translation>
    </message>
    <message>
        <source>L%1, вся линия</source>
        <translation>L%1, whole line</translation>
    </message>
</context>
</TS>
